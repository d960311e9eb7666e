#pragma once

#include <array>
#include <string_view>

namespace quorlex {

// Casters a surveyor can reach without an account of a network of his own:
// public community casters with dense, short-baseline bases first, then
// national agencies, then the continental and global reference networks.
// Host names, as the receiver resolves them, so a caster that moves keeps working.
inline constexpr std::array<std::u16string_view, 7> kPresetServerAddresses{
    u"rtk2go.com",                // community caster, volunteers' bases worldwide
    u"caster.centipede.fr",       // community RTK network, mostly France
    u"ntrip.data.gnss.ga.gov.au", // national agency, Australia
    u"rtgpsout.unavco.org",       // research consortium, North America
    u"euref-ip.net",              // European reference frame network
    u"igs-ip.net",                // global reference network
    u"mgex.igs-ip.net",           // global multi-constellation stations
};

// In the order they are added; the port combo sorts them as text.
inline constexpr std::array<std::u16string_view, 8> kPresetPorts{
    u"2012", u"2010", u"6060", u"2101", u"48665", u"9000", u"9001", u"8000",
};

} // namespace quorlex
