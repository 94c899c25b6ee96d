// SkGetDirectories(folder, list): appends the names of the sub-folders directly inside `folder`
// ("." and ".." left out); true when it found at least one. A missing folder adds nothing.
#pragma once

#include <string>

#include "ui/strings.h"

namespace skbar {

bool SkGetDirectories(const std::wstring& folder, ui::TStrings& list);

}  // namespace skbar
