#pragma once

// The temporary file the device is opened on, in the current directory.
extern const char* const TMP_FILE;

// Creates or replaces TMP_FILE and writes the capture header into it, one
// byte per write, then closes it. Any failure ends the program.
void write_tmp_file();

// Deletes TMP_FILE by name. A failure ends the program.
void delete_tmp_file();
