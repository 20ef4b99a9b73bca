// The start-up sequence of the process entry and the report molvane prints until it has a window.
#pragma once

#include "platform/SingleInstance.h"

#include <iosfwd>
#include <string>

struct DeviceCatalogue;

// Takes the catalogue's software name as the product name. Names that are empty or could not
// name a file (a '/' or NUL, "." or "..") are ignored, and the built-in name stays.
bool ReadProductName(const std::string& cataloguePath);

enum class StartupOutcome {
    Run,       // first instance: language chosen, database folder made
    HandedOver // another instance runs and was asked to show its window; nothing was changed
};

// Product name, single instance, language, database folder, in that order.
StartupOutcome RunStartup(SingleInstance& instance);

// Writes the product name, the folders, the language and the loaded catalogue.
void PrintStartupReport(std::ostream& out, const DeviceCatalogue& catalogue, bool catalogueLoaded);

// The whole process entry: options, start-up, report. Returns the exit code.
int RunMolvane(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
