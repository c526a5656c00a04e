#pragma once
// Produces the shipped diagram files: for every diagram its bitmap and its description.

#include "Diagram.h"

#include <string>
#include <vector>

namespace quorvel::diagramgen {

struct GeneratedFile {
    std::string name; // file name without directory
    std::string contents;
};

// "Quorvel_<diagram>.bmp" and "Quorvel_<diagram>_lines.txt" for every diagram. Throws
// std::runtime_error listing the problems of a diagram that is not sound (see FindProblems).
std::vector<GeneratedFile> GenerateFiles(const std::vector<Diagram>& diagrams);

// GenerateFiles for the shipped diagrams.
std::vector<GeneratedFile> GenerateAll();

// Writes the files into `directory`; throws std::runtime_error when one cannot be written.
void WriteFiles(const std::vector<GeneratedFile>& files, const std::string& directory);

} // namespace quorvel::diagramgen
