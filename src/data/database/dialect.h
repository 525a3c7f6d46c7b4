// The name under which every connection to a shop file knows the shop's text order (case
// ignored, accents beside their letters); the file's dialect asks for it in an ORDER BY of a
// text column.
#pragma once

namespace dialect {
inline constexpr const char *textOrderCollation = "SHOPTEXT";
} // namespace dialect
