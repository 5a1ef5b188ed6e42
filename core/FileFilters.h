#pragma once
// The open-file filters for Gerber and drill data that several commands share.

namespace korvane::filters {

inline constexpr const char *GerberOpen =
    "Gerber Files(*.ger)|*.ger|Gerber Files(*.gbr)|*.gbr|Gerber Files(*.lgx)|*.lgx|Gerber Files(*.pho)|*.pho|"
    "Gerber Files(*.lgr)|*.lgr|Gerber Files(*.cam)|*.cam|All Files(*.*)|*.*";
inline constexpr const char *DrillOpen = "Drill Files(*.drl)|*.drl|Drill Files(*.ncd)|*.ncd|Drill Files(*.nc)|*.nc|"
                                         "Drill Files(*.cam)|*.cam|Drill Files(*.txt)|*.txt|All Files(*.*)|*.*";

}  // namespace korvane::filters
