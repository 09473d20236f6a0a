#pragma once

#include <string>

// Where a parameter file named by the program lives.
//
// A name holding '/' is a whole path and is returned unchanged. A bare name ("param.dat")
// goes beside the executable when that folder already holds the file or may be written
// (a portable install, the build tree); otherwise into the user's configuration folder,
// $XDG_CONFIG_HOME/lumicut/ (default ~/.config/lumicut/). Nothing is created here: the
// first write creates the missing folders.
[[nodiscard]] std::string resolveParamPath(const std::string& name);

// Same rule with the two candidate folders given (no trailing '/' needed), so that it can be
// checked without touching the real executable folder or the user's configuration.
[[nodiscard]] std::string resolveParamPath(const std::string& name, const std::string& exeFolder,
                                           const std::string& configHome);

// Folder of the running executable (from /proc/self/exe), without a trailing '/'; empty when
// it cannot be found.
[[nodiscard]] std::string executableFolder();

// The user's configuration root: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config (the password database when HOME is unset); empty when none is known.
[[nodiscard]] std::string configHomeFolder();
