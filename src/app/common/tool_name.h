#pragma once

// The tool's name as its window's caption and its message boxes show it.

namespace kiv {

inline constexpr wchar_t kToolCaption[] = L"KIV 会話マクロ";

}  // namespace kiv
