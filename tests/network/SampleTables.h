#pragma once

#include "common/Numbers.h"

#include <string>

namespace quorlex::testing {

// A small table in the shape casters send: header lines, CAS, NET and STR
// records with the usual codes, then the end line.
inline std::u16string SmallTable() {
    return u"SOURCETABLE 200 OK\r\n"
           u"Server: caster/2.0\r\n"
           u"Content-Type: text/plain\r\n"
           u"\r\n"
           u"CAS;caster.example.net;2101;EXA;Example Ops;0;DEU;50.12;8.69;backup.example.net;80;"
           u"none\r\n"
           u"NET;EXA;Example Ops;B;N;http://example.net;http://example.net/str;"
           u"mail@example.net;none\r\n"
           u"STR;RTCM3_GNSS;Frankfurt;RTCM 3.2;1004(1),1012(1);2;GPS+GLO;EXA;DEU;50.12;8.69;1;0;"
           u"sNTRIP;none;B;N;5000;none\r\n"
           u"STR;VRS32;基站网络;RTCM 3.2;1074(1);1;GPS+BDS;EXA;CHN;31.20;121.40;1;1;"
           u"sNTRIP;none;D;Y;9600;上海\r\n"
           u"ENDSOURCETABLE\r\n";
}

// One STR line per mount point, numbered so every record differs.
inline std::u16string StrLine(int i) {
    const std::u16string n = FormatInt(i);
    return u"STR;MP" + n + u";Site " + n +
           u";RTCM 3.2;1004(1),1006(10),1012(1),1033(10);2;GPS+GLO+GAL+BDS;NET" + FormatInt(i % 7) +
           u";DEU;" + FormatFixed(48.0 + i * 0.001, 2) + u";" + FormatFixed(9.0 + i * 0.002, 2) +
           u";" + FormatInt(i % 2) + u";0;sNTRIP;none;B;N;" + FormatInt(2400 + i) + u";site " + n +
           u"\r\n";
}

// A table as large as the biggest public casters.
inline std::u16string LargeTable(int strCount) {
    std::u16string text = u"SOURCETABLE 200 OK\r\n"
                          u"CAS;caster.example.net;2101;EXA;Example Ops;0;DEU;50.12;8.69;"
                          u"0.0.0.0;0;none\r\n";
    for (int i = 0; i < strCount; ++i) {
        text += StrLine(i);
    }
    text += u"ENDSOURCETABLE\r\n";
    return text;
}

} // namespace quorlex::testing
