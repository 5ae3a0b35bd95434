#pragma once

#include <string>

// "kelto 0.3.1 preview [build 11]": the main window's title and the about box's first line.
const std::string& GetVersionText();
