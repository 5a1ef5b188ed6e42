#pragma once
// Arithmetic of aperture macro fields: numbers, references $1..$n, unary
// signs, + - x X / with the usual precedence, and parentheses.
#include <functional>
#include <optional>
#include <string_view>

namespace korvane {

// Looks up reference $k; nothing when it is not defined.
using MacroReferenceLookup = std::function<std::optional<double>(int k)>;

// Evaluates `text`; throws KorvaneError("'text' は浮動小数点数ではありません") when it
// is not a well-formed expression or names an undefined reference. An empty
// text is 0 (empty primitive fields count as 0).
double evaluateMacroExpression(std::string_view text, const MacroReferenceLookup &lookup);

// True when the text holds "$" (a reference) anywhere.
bool hasMacroReference(std::string_view text);

}  // namespace korvane
