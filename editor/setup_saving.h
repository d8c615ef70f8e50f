// Saving the show as a set-up program: the saver file, written as Ctrl+E
// writes it, carried by the set-up program that installs it for its user.
#pragma once

// File > Save as set-up file: asks for the target (dialog title 5154) and
// writes it. 0 when cancelled or when the writing failed (said in a box).
int SaveSetupAs();
