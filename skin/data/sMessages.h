#pragma once
// The skin messages: ordinary window messages through which skinned windows learn of skin
// changes, share their cached backgrounds and coordinate repainting. Numbers are fixed.
#include <cstdint>

constexpr std::uint32_t SKM_SETBGCHANGED = 0xA401;
constexpr std::uint32_t SKM_NEWSKIN = 0xA402;
constexpr std::uint32_t SKM_REMOVESKIN = 0xA403;
constexpr std::uint32_t SKM_GETPROVIDER = 0xA406;
constexpr std::uint32_t SKM_REPAINT = 0xA407;
constexpr std::uint32_t SKM_GETCACHE = 0xA408;
constexpr std::uint32_t SKM_PARENTUPDATED = 0xA409;
constexpr std::uint32_t SKM_UPDATESECTION = 0xA40A;
constexpr std::uint32_t SKM_DROPPEDDOWN = 0xA40D;  // answered by skinned combo boxes; never sent here
constexpr std::uint32_t SKM_ISHANDLED = 0xA40C;
constexpr std::uint32_t SKM_SETUPDATING = 0xA40E;
constexpr std::uint32_t SKM_URGENTPAINT = 0xA40F;
constexpr std::uint32_t SKM_STOPFADING = 0xA410;
constexpr std::uint32_t SKM_GETUPDATING = 0xA411;
constexpr std::uint32_t SKM_GETHALFVISIBLE = 0xA412;
constexpr std::uint32_t SKM_SETLINKEDCONTROL = 0xA413;
constexpr std::uint32_t SKM_PARENTCHANGED = 0xA414;
constexpr std::uint32_t SKM_GETSKININDEX = 0xA415;
