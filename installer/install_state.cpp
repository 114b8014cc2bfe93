// The path state shared by the run and the move, alive for the whole run.
#include "installer.h"

char working_dir[working_dir_capacity];
char install_root[working_dir_capacity];
char dest_path[dest_path_capacity];
char *dest_tail;
