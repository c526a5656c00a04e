#include "Generator.h"

#include "DescriptionWriter.h"
#include "Diagrams.h"
#include "Renderer.h"

#include <fstream>
#include <stdexcept>

namespace quorvel::diagramgen {

std::vector<GeneratedFile> GenerateFiles(const std::vector<Diagram>& diagrams) {
    std::vector<GeneratedFile> files;
    for (const Diagram& diagram : diagrams) {
        const std::vector<std::string> problems = FindProblems(diagram);
        if (!problems.empty()) {
            std::string message = "Diagram " + diagram.name + ":";
            for (const std::string& p : problems)
                message += "\n  " + p;
            throw std::runtime_error(message);
        }
        const std::string base = "Quorvel_" + diagram.name;
        files.push_back({base + ".bmp", Render(diagram).EncodeBmp()});
        files.push_back({base + "_lines.txt", WriteDescription(diagram)});
    }
    return files;
}

std::vector<GeneratedFile> GenerateAll() {
    return GenerateFiles(AllDiagrams());
}

void WriteFiles(const std::vector<GeneratedFile>& files, const std::string& directory) {
    for (const GeneratedFile& file : files) {
        const std::string path = directory + "/" + file.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.contents.data(), static_cast<std::streamsize>(file.contents.size()));
        out.close();
        if (!out)
            throw std::runtime_error("Cannot write " + path);
    }
}

} // namespace quorvel::diagramgen
