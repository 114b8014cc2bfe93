// The program's only user interface: one modal box.
#pragma once

// Capacity of a caption: 32 characters and the NUL.
constexpr int notice_caption_capacity = 33;

// Shows text in a modal box with one OK button, captioned with the
// program's file name from the command line; returns once it is dismissed.
// The caller's floating-point state is the same afterwards.
void show_notice(const char *text);

// The same box with a warning icon, for a run that did not succeed.
void show_warning(const char *text);

// Derives the caption from command_line into caption: the text after the
// last path separator (leading decimal digits skipped first, as strtol
// reads them), at most 32 characters, less one trailing space and then one
// trailing double quote; "Error" when nothing is left.
void derive_caption(const char *command_line, char (&caption)[notice_caption_capacity]);
