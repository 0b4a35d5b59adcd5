// A secret (a password) given in a file rather than on the command line,
// where every user of the machine can read it.
#ifndef VELKOR_APP_FILES_SECRET_FILE_H
#define VELKOR_APP_FILES_SECRET_FILE_H

#include <string>

#include "app/files/file_system.h"

namespace velkor::app {

/// Puts the first line of the file at `path` (without "\n" or "\r\n") in
/// *secret.  The file is read no further than 4 KiB; a pipe works as well
/// (--password-file <(command)).  False, with the reason in *error, when it
/// cannot be read or its first line is longer; *error never holds any of
/// the file's contents.
bool read_secret_file(const std::string &path, std::string *secret, std::string *error,
                      FileSystem &fs = system_file_system());

}  // namespace velkor::app

#endif  // VELKOR_APP_FILES_SECRET_FILE_H
