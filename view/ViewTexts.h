#pragma once
// Texts of the view commands.

namespace korvane::msg {

inline constexpr const char *ZoomInLimit = "ズームインのリミットに達しました。";
inline constexpr const char *ZoomOutLimit = "ズームアウトのリミットに達しました。";
// A zoom whose larger picture could not be made; the view stays as it was.
inline constexpr const char *ZoomOutOfMemory = "メモリが不足しているため、ズームできませんでした。表示は元のままです。";
// A fit or redraw whose picture could not be made; the view stays as it was.
inline constexpr const char *DrawOutOfMemory = "メモリが不足しているため、描画できませんでした。表示は元のままです。";

}  // namespace korvane::msg
