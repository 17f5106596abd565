// The names of a record field's values, kept beside the record: the text the pages show
// and the word zode-cli reads and writes (lower case, no spaces). The dissector generator
// reads the tables from the headers too, so a value is named the same everywhere.
//
// Each table is an inline constexpr array of TValueName named after its field with the suffix
// Names, entry i naming value i: keep that form, the generator matches it.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace Intp {

struct TValueName {
    const char* Text;
    const char* Word;
};

using TValueNames = std::span<const TValueName>;

// The value that word names, if any.
inline std::optional<unsigned> ValueOfWord(TValueNames names, std::string_view word)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (word == names[i].Word)
            return unsigned(i);
    return std::nullopt;
}

// Values that are switched off or on.
inline constexpr TValueName EnableNames[] = {{"Disable", "disable"}, {"Enable", "enable"}};
inline constexpr TValueName EnabledNames[] = {{"Disabled", "disabled"}, {"Enabled", "enabled"}};
inline constexpr TValueName TruthNames[] = {{"False", "false"}, {"True", "true"}};

} // namespace Intp
