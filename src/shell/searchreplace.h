#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

/// A search pattern of the list windows' search and replace: "?" stands for exactly one
/// character, "*" for one or more, everything else for itself. At most the first 32 tokens
/// count (each "?" and "*" is a token, each run of other characters one more).
class SearchPattern {
public:
    static constexpr std::size_t kMaxTokens = 32;

    struct Token {
        enum class Kind { Literal, One, Many } kind = Kind::Literal;
        std::u32string text; ///< for literals
    };

    explicit SearchPattern(std::string_view pattern);

    const std::vector<Token>& tokens() const { return m_tokens; }

    /// What a name's wildcards took, in the order of the pattern: the characters of the "?"
    /// tokens and the texts of the "*" tokens.
    struct Match {
        std::vector<std::u32string> ones;
        std::vector<std::u32string> manys;
    };

    /// Whether the whole name is covered by the tokens in order. Without `exactCase` both
    /// sides are compared in upper case with the accented vowels Á É Í Ó Ö Ő Ú Ü Ű taken as
    /// A E I O O O U U U. The captured texts are those of the name as written.
    bool matches(std::string_view name, bool exactCase, Match* match = nullptr) const;

    /// The new name from a replacement pattern: literals copied, each "?" taking the
    /// character of the next "?" of the search, each "*" the text of the next "*". Raises
    /// "IDS_SEARCHANDREPLACEERROR" when the replacement has a wildcard the search lacks.
    static std::string replacement(std::string_view replacementPattern, const Match& match);

private:
    std::vector<Token> m_tokens;
};

/// The form names are compared in when case and accents do not matter.
std::u32string searchFold(std::u32string text);

} // namespace kalydor
