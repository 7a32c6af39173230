// SPDX-License-Identifier: MIT
// The desktop services that plain POSIX calls provide: the export's file store and the
// program folder.
#pragma once

#include "platform/posix/posix_file_store.h"
#include "platform/posix/posix_program_folder.h"
#include "platform/posix/posix_user_dirs.h"
