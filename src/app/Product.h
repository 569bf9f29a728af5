#pragma once
// The product's name and version as the windows show them.
#include <string_view>

namespace keltora {

inline constexpr std::string_view kProductTitle = "Keltora Professional";
inline constexpr std::string_view kVersion = "3.55";
// The blank at the end belongs to the caption.
inline constexpr std::string_view kMainCaption = "Keltora Professional ver 3.55 ";
// Held by the running program; a second start that cannot take it ends at once.
inline constexpr std::string_view kInstanceMutex = "KeltoraProfessional";

}  // namespace keltora
