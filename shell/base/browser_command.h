// What may be handed to the web browser, and the command line that starts it:
// the program and its one argument, each in double quotes. Portable text
// checks; starting the browser itself is in system_ops.
#pragma once

#include <cstddef>

// 1 when the text can stand between double quotes on a command line without
// ending them early or changing them: not empty, no '"' and no control
// character, no single-byte '\' at the end (it would escape the closing quote)
// and no lead byte at the end (it would take the closing quote as its trail).
int IsQuotableArgument(const char *text);

// 1 for an address that begins with "http://" or "https://" (letters in any
// case), has something after that, and is a quotable argument.
int IsWebAddress(const char *address);

// Writes "\"program\" \"argument\"" to out (size bytes). 0, with out empty,
// when either text is not a quotable argument or the line does not fit.
int BrowserCommandLine(char *out, size_t size, const char *program, const char *argument);
