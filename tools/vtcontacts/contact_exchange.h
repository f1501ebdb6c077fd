// The contact exchange tool: vCard import and export, listing and
// categories for the device's contact store. main() only hands over the
// arguments, so tests run the same code in-process.
#pragma once
#include <string>
#include <vector>

struct ToolOutput {
    std::string out;  // UTF-8
    std::string err;
};

// Runs one command line (without the program name); returns the exit code.
int RunContactTool(const std::vector<std::wstring>& args, ToolOutput& output);

// The usage text, including how each vCard property maps to the fields.
const char* ContactToolHelp();
