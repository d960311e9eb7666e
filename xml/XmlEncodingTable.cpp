#include "xml/XmlEncodingTable.h"

#include <array>
#include <utility>

namespace quorlex {

namespace {

struct EncodingName {
    std::string_view name; // lower case
    int codePage;
};

constexpr std::array kNames = std::to_array<EncodingName>({
    {"utf-8", 65001},
    {"utf8", 65001},
    {"unicode-1-1-utf-8", 65001},
    {"unicode-2-0-utf-8", 65001},
    {"x-unicode20utf8", 65001},
    {"utf-16", 1200},
    {"utf-16le", 1200},
    {"utf16", 1200},
    {"utf16le", 1200},
    {"unicode", 1200},
    {"ucs-2", 1200},
    {"ucs-2le", 1200},
    {"iso-10646-ucs-2", 1200},
    {"csunicode", 1200},
    {"utf-16be", 1201},
    {"utf16be", 1201},
    {"unicodefffe", 1201},
    {"ucs-2be", 1201},
    {"utf-32", 12000},
    {"utf-32le", 12000},
    {"utf32", 12000},
    {"ucs-4", 12000},
    {"ucs-4le", 12000},
    {"utf-32be", 12001},
    {"ucs-4be", 12001},
    {"utf-7", 65000},
    {"unicode-1-1-utf-7", 65000},
    {"csunicode11utf7", 65000},
    {"x-unicode20utf7", 65000},
    {"gb2312", 936},
    {"gbk", 936},
    {"cp936", 936},
    {"ms936", 936},
    {"windows-936", 936},
    {"x-gbk", 936},
    {"chinese", 936},
    {"csgb2312", 936},
    {"csiso58gb231280", 936},
    {"gb2312-80", 936},
    {"gb_2312-80", 936},
    {"iso-ir-58", 936},
    {"gb18030", 54936},
    {"euc-cn", 51936},
    {"x-euc-cn", 51936},
    {"big5", 950},
    {"big-5", 950},
    {"cp950", 950},
    {"csbig5", 950},
    {"cn-big5", 950},
    {"x-x-big5", 950},
    {"big5-hkscs", 951},
    {"euc-tw", 51950},
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"x-sjis", 932},
    {"ms_kanji", 932},
    {"csshiftjis", 932},
    {"cp932", 932},
    {"windows-31j", 932},
    {"x-ms-cp932", 932},
    {"euc-jp", 51932},
    {"x-euc-jp", 51932},
    {"cseucpkdfmtjapanese", 51932},
    {"iso-2022-jp", 50220},
    {"csiso2022jp", 50220},
    {"euc-kr", 51949},
    {"cseuckr", 51949},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601", 949},
    {"ks_c_5601_1987", 949},
    {"ksc5601", 949},
    {"ksc_5601", 949},
    {"korean", 949},
    {"csksc56011987", 949},
    {"iso-ir-149", 949},
    {"cp949", 949},
    {"uhc", 949},
    {"iso-2022-kr", 50225},
    {"csiso2022kr", 50225},
    {"johab", 1361},
    {"windows-874", 874},
    {"dos-874", 874},
    {"cp874", 874},
    {"tis-620", 874},
    {"iso-8859-11", 874},
    {"windows-1250", 1250},
    {"x-cp1250", 1250},
    {"cp1250", 1250},
    {"windows-1251", 1251},
    {"x-cp1251", 1251},
    {"cp1251", 1251},
    {"windows-1252", 1252},
    {"x-ansi", 1252},
    {"cp1252", 1252},
    {"windows-1253", 1253},
    {"cp1253", 1253},
    {"windows-1254", 1254},
    {"cp1254", 1254},
    {"windows-1255", 1255},
    {"cp1255", 1255},
    {"windows-1256", 1256},
    {"cp1256", 1256},
    {"windows-1257", 1257},
    {"cp1257", 1257},
    {"windows-1258", 1258},
    {"cp1258", 1258},
    {"iso-8859-1", 28591},
    {"iso8859-1", 28591},
    {"iso_8859-1", 28591},
    {"iso_8859-1:1987", 28591},
    {"iso-ir-100", 28591},
    {"latin1", 28591},
    {"l1", 28591},
    {"ibm819", 28591},
    {"cp819", 28591},
    {"csisolatin1", 28591},
    {"iso-8859-2", 28592},
    {"iso8859-2", 28592},
    {"iso_8859-2", 28592},
    {"iso-ir-101", 28592},
    {"latin2", 28592},
    {"l2", 28592},
    {"csisolatin2", 28592},
    {"iso-8859-3", 28593},
    {"iso_8859-3", 28593},
    {"latin3", 28593},
    {"l3", 28593},
    {"iso-8859-4", 28594},
    {"iso_8859-4", 28594},
    {"latin4", 28594},
    {"l4", 28594},
    {"iso-8859-5", 28595},
    {"iso_8859-5", 28595},
    {"cyrillic", 28595},
    {"csisolatincyrillic", 28595},
    {"iso-8859-6", 28596},
    {"iso_8859-6", 28596},
    {"arabic", 28596},
    {"iso-8859-7", 28597},
    {"iso_8859-7", 28597},
    {"greek", 28597},
    {"greek8", 28597},
    {"iso-8859-8", 28598},
    {"iso_8859-8", 28598},
    {"hebrew", 28598},
    {"iso-8859-9", 28599},
    {"iso_8859-9", 28599},
    {"latin5", 28599},
    {"l5", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"iso_8859-15", 28605},
    {"latin-9", 28605},
    {"latin9", 28605},
    {"l9", 28605},
    {"iso-8859-16", 28606},
    {"us-ascii", 20127},
    {"ascii", 20127},
    {"us", 20127},
    {"iso646-us", 20127},
    {"ansi_x3.4-1968", 20127},
    {"ansi_x3.4-1986", 20127},
    {"cp367", 20127},
    {"ibm367", 20127},
    {"csascii", 20127},
    {"iso-ir-6", 20127},
    {"koi8-r", 20866},
    {"koi8", 20866},
    {"koi", 20866},
    {"cskoi8r", 20866},
    {"koi8-u", 21866},
    {"koi8-ru", 21866},
    {"ibm437", 437},
    {"cp437", 437},
    {"cspc8codepage437", 437},
    {"ibm737", 737},
    {"ibm775", 775},
    {"ibm850", 850},
    {"cp850", 850},
    {"ibm852", 852},
    {"cp852", 852},
    {"ibm855", 855},
    {"cp855", 855},
    {"ibm857", 857},
    {"cp857", 857},
    {"ibm00858", 858},
    {"ibm860", 860},
    {"ibm861", 861},
    {"ibm862", 862},
    {"ibm863", 863},
    {"ibm864", 864},
    {"ibm865", 865},
    {"cp866", 866},
    {"ibm866", 866},
    {"ibm869", 869},
    {"macintosh", 10000},
    {"mac", 10000},
    {"x-mac-roman", 10000},
    {"x-mac-cyrillic", 10007},
    {"x-mac-ce", 10029},
});

constexpr std::array kIconvNames = std::to_array<std::pair<int, std::string_view>>({
    {54936, "GB18030"},      {51936, "EUC-CN"},
    {950, "CP950"},          {951, "BIG5-HKSCS"},
    {51950, "EUC-TW"},       {932, "CP932"},
    {51932, "EUC-JP"},       {50220, "ISO-2022-JP"},
    {51949, "EUC-KR"},       {949, "CP949"},
    {50225, "ISO-2022-KR"},  {1361, "JOHAB"},
    {874, "CP874"},          {1250, "CP1250"},
    {1251, "CP1251"},        {1252, "CP1252"},
    {1253, "CP1253"},        {1254, "CP1254"},
    {1255, "CP1255"},        {1256, "CP1256"},
    {1257, "CP1257"},        {1258, "CP1258"},
    {28591, "ISO-8859-1"},   {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},   {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},   {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},   {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},  {28606, "ISO-8859-16"},
    {20127, "ASCII"},        {20866, "KOI8-R"},
    {21866, "KOI8-U"},       {437, "CP437"},
    {737, "CP737"},          {775, "CP775"},
    {850, "CP850"},          {852, "CP852"},
    {855, "CP855"},          {857, "CP857"},
    {858, "CP858"},          {860, "CP860"},
    {861, "CP861"},          {862, "CP862"},
    {863, "CP863"},          {864, "CP864"},
    {865, "CP865"},          {866, "CP866"},
    {869, "CP869"},          {10000, "MACINTOSH"},
    {10007, "MAC-CYRILLIC"}, {10029, "MAC-CENTRALEUROPE"},
    {65000, "UTF-7"},
});

constexpr size_t kLongestName = 100;

char16_t LowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

bool SameName(std::string_view lower, std::u16string_view name) {
    if (lower.size() != name.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (LowerAscii(name[i]) != static_cast<unsigned char>(lower[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

int CodePageFromName(std::u16string_view name) {
    if (name.size() >= kLongestName) {
        return XmlCodePage::kAnsi;
    }
    for (const EncodingName& row : kNames) {
        if (SameName(row.name, name)) {
            return row.codePage;
        }
    }
    return XmlCodePage::kAnsi;
}

std::string_view IconvNameOfCodePage(int codePage) {
    for (const auto& [number, name] : kIconvNames) {
        if (number == codePage) {
            return name;
        }
    }
    return {};
}

} // namespace quorlex
