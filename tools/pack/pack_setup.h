// vormkit-pack setup: a set-up program that installs a saver file, or
// VORMKIT itself from a folder (--kit), for the current user.
#pragma once

#include <string>
#include <vector>

// The usage lines of the command.
extern const char SETUP_USAGE[];

// setup NAME.scr -o NAME-setup.exe [options] | setup --kit FOLDER -o OUT.exe [options]
int SetupCommand(const std::vector<std::string> &args);
