// Paths on POSIX, as the layer takes them apart.
#pragma once

#include <climits>

// Splits path into its directory (written into directory: "." when path has
// none, "/" for the root) and points base at its last part. False when the
// directory does not fit.
bool split_path(const char *path, char (&directory)[PATH_MAX], const char **base);
