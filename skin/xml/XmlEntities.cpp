// Entity names for character references, as read by CXmlDocument::GetAttribute.
// Table generated once from the HTML 4.01 named character references plus "apos".
#include "XmlEntities.h"

#include <cstring>

namespace Velmora {
namespace {

// 130 buckets keyed by the sum of the lower-case name's characters. A record is one digit
// of name length, four digits of code point and the lower-case name. Names that exist in
// two letter cases appear twice in a row, the capitalised spelling first.
const char* const kEntityBuckets[130] = {
    "60216oslash60248oslash60217ugrave60249ugrave",
    "58968lceil50937omega50969omega60221yacute60253yacute",
    "50916delta50948delta50206icirc50238icirc68472weierp",
    "40185sup1",
    "68970lfloor40178sup2",
    "60164curren50922kappa50954kappa58212mdash40179sup3",
    "59830diams58211ndash",
    "68855otimes58969rceil",
    "50212ocirc50244ocirc50338oelig50339oelig58482trade",
    "50197aring50229aring50931sigma50963sigma",
    "50180acute68971rfloor50732tilde",
    "68249lsaquo",
    "58734infin68201thinsp",
    "50161iexcl",
    "50920theta50952theta50219ucirc50251ucirc",
    "58254oline",
    "58260frasl68727lowast",
    "59827clubs60191iquest68250rsaquo",
    "58629crarr50181micro",
    "58222bdquo",
    "",
    "60177plusmn58243prime58242prime",
    "40914beta40946beta",
    "",
    "",
    "",
    "50171laquo50215times",
    "40710circ",
    "49001lang",
    "58220ldquo40175macr",
    "40182para50163pound48476real",
    "",
    "58713notin50187raquo",
    "48773cong50223szlig50978upsih",
    "58776asymp58801equiv49002rang58218sbquo",
    "48659darr48595darr40402fnof58221rdquo50222thorn50254thorn",
    "40162cent58722minus",
    "58707exist40170ordf",
    "",
    "58709empty48660harr48596harr40921iota40953iota",
    "",
    "40196auml40228auml48226bull40167sect48838sube",
    "",
    "48656larr48592larr58853oplus",
    "30176deg58216lsquo40186ordm",
    "40039apos40203euml40235euml48712isin40160nbsp",
    "40918zeta40950zeta",
    "38743and48195emsp48719prod",
    "38745cap30935chi30967chi48194ensp",
    "40207iuml40239iuml48706part48869perp48658rarr48594rarr",
    "38736ang48836nsub58217rsquo",
    "",
    "48901sdot48657uarr48593uarr",
    "40169copy48364euro",
    "30919eta30951eta",
    "40214ouml40246ouml48839supe",
    "",
    "",
    "30038amp30174reg",
    "48733prop",
    "",
    "30208eth30240eth30934phi30966phi40220uuml40252uuml",
    "",
    "",
    "",
    "40376yuml40255yuml",
    "",
    "40034quot48204zwnj",
    "38746cup68756there4",
    "30929rho30961rho38764sim",
    "38834sub30932tau30964tau",
    "38747int38206lrm38207rlm",
    "30936psi30968psi30165yen",
    "",
    "28805ge30168uml",
    "30982piv",
    "",
    "30172not",
    "",
    "28804le",
    "30173shy",
    "39674loz28800ne38721sum",
    "",
    "",
    "38835sup",
    "28715ni",
    "",
    "20928pi20960pi38205zwj",
    "",
    "20062gt60923lambda60955lambda",
    "",
    "",
    "60199ccedil60231ccedil",
    "",
    "20060lt",
    "28744or20926xi20958xi",
    "20924mu20956mu",
    "20925nu20957nu",
    "68225dagger68224dagger",
    "80977thetasym",
    "",
    "",
    "",
    "78501alefsym",
    "",
    "",
    "",
    "60193aacute60225aacute60195atilde60227atilde",
    "",
    "60247divide70927omicron70959omicron",
    "60192agrave60224agrave",
    "60201eacute60233eacute60962sigmaf",
    "70917epsilon70949epsilon",
    "",
    "60200egrave60232egrave",
    "60205iacute60237iacute",
    "",
    "",
    "68230hellip60204igrave60236igrave",
    "60166brvbar",
    "68704forall58711nabla60209ntilde60241ntilde69824spades",
    "60189frac1260183middot60211oacute60243oacute60213otilde60245otilde",
    "",
    "50184cedil60188frac14",
    "50194acirc50226acirc50198aelig50230aelig60210ograve60242ograve",
    "60190frac3450915gamma50947gamma58465image58730radic",
    "60352scaron60353scaron",
    "69829hearts60218uacute60250uacute",
    "50913alpha50945alpha50202ecirc50234ecirc70933upsilon70965upsilon",
    "68240permil",
};

} // namespace

uint32_t LookupEntity(const char* name, size_t length) {
    if (length == 0 || length > 9)
        return 0;
    char lower[10];
    unsigned sum = 0;
    bool hasCapital = false;
    for (size_t i = 0; i < length; ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
            hasCapital = true;
        }
        lower[i] = c;
        sum += static_cast<unsigned char>(c);
    }
    const char* record = kEntityBuckets[sum % 130];
    while (*record) {
        const size_t nameLength = static_cast<size_t>(record[0] - '0');
        const char* recordName = record + 5;
        if (nameLength == length && std::memcmp(recordName, lower, length) == 0) {
            const char* next = recordName + nameLength;
            // The lower-case spelling of a pair takes the second record.
            if (!hasCapital && *next && static_cast<size_t>(next[0] - '0') == length &&
                std::memcmp(next + 5, lower, length) == 0)
                record = next;
            uint32_t codePoint = 0;
            for (int i = 1; i <= 4; ++i)
                codePoint = codePoint * 10 + static_cast<uint32_t>(record[i] - '0');
            return codePoint;
        }
        record = recordName + nameLength;
    }
    return 0;
}

} // namespace Velmora
