#pragma once
// The configuration words of a device as its definition file gives them: each word's fields
// and each field's settings. The diagram's model keeps them; the code generation reads them.
// They compare equal member by member, as the model's records do.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

struct TSetting {
    std::uint32_t Mask = 0;
    std::uint32_t Value = 0;
    std::string Description;
    std::string Name; // the name given on the setting's opener line, or empty
    friend bool operator==(const TSetting&, const TSetting&) = default;
};

struct TField {
    std::string Name;
    std::string Description;
    std::uint32_t Mask = 0;
    std::vector<TSetting> Settings;
    friend bool operator==(const TField&, const TField&) = default;
};

struct TConfigWord {
    std::string Name;
    std::uint32_t Address = 0;
    std::vector<TField> Fields;
    std::optional<std::uint32_t> Default; // the word's value with no field chosen, if known
    friend bool operator==(const TConfigWord&, const TConfigWord&) = default;
};

} // namespace quorvel
