// quorvel defs: prints the configuration words that the program reads from a definition file.

#include "cli/Json.h"
#include "cli/ReaderCommands.h"
#include "devdefs/DefinitionReader.h"

#include <iostream>

namespace quorvel::cli {

namespace {

constexpr const char* kUsage = "quorvel defs FILE.vlk";
constexpr const char* kHelp =
    "usage: quorvel defs FILE.vlk\n"
    "\n"
    "Reads the configuration section of a device definition file as the program does and\n"
    "prints its configuration words as JSON, in file order:\n"
    "  {\"words\":[{\"name\",\"address\",\"default\",\"fields\":[{\"name\",\"description\",\n"
    "    \"mask\",\"settings\":[{\"name\",\"mask\",\"value\",\"description\"}]}]}]}\n"
    "\"default\" is the word's <wdefault> value, null without one; a setting's \"name\" is the\n"
    "name=\"...\" of its opener line, empty without one.\n"
    "Bytes of 0x80 and above are written as the Latin-1 characters of the same number.\n"
    "On a bad number the program's message goes to stderr and the exit code is 1.\n"
    "\n"
    "Example:\n"
    "  quorvel defs Defs/MYDEVICE.vlk\n";

std::string NotFoundMessage(const std::string& path) {
    constexpr std::string_view kExtension = ".vlk";
    if (path.size() > kExtension.size() && path.ends_with(kExtension))
        return VlkNotFoundMessage(path.substr(0, path.size() - kExtension.size()));
    return "VLK File \"" + path + "\" not Found?";
}

std::string WordsJson(const std::vector<TConfigWord>& words) {
    JsonWriter json;
    json.BeginObject();
    json.Key("words");
    json.BeginArray();
    for (const TConfigWord& word : words) {
        json.BeginObject();
        json.Key("name");
        json.String(word.Name);
        json.Key("address");
        json.Unsigned(word.Address);
        json.Key("default");
        if (word.Default)
            json.Unsigned(*word.Default);
        else
            json.Null();
        json.Key("fields");
        json.BeginArray();
        for (const TField& field : word.Fields) {
            json.BeginObject();
            json.Key("name");
            json.String(field.Name);
            json.Key("description");
            json.String(field.Description);
            json.Key("mask");
            json.Unsigned(field.Mask);
            json.Key("settings");
            json.BeginArray();
            for (const TSetting& setting : field.Settings) {
                json.BeginObject();
                json.Key("name");
                json.String(setting.Name);
                json.Key("mask");
                json.Unsigned(setting.Mask);
                json.Key("value");
                json.Unsigned(setting.Value);
                json.Key("description");
                json.String(setting.Description);
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

} // namespace

int RunDefs(const Args& args) {
    int exitCode = 0;
    const auto file = SingleFileArgument(args, kUsage, kHelp, exitCode);
    if (!file)
        return exitCode;
    std::vector<TConfigWord> words;
    if (!ReadDefinitionFile(*file, words)) {
        std::cerr << NotFoundMessage(*file) << "\n";
        return 1;
    }
    std::cout << WordsJson(words) << "\n";
    return 0;
}

} // namespace quorvel::cli
