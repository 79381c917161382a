// Encoding names of XML declarations and HTML meta elements, mapped to Windows code pages.
#include "XmlEncodings.h"

#include <cstring>

namespace Velmora {
namespace {

// 155 buckets keyed by the sum of the lower-case name's characters. A record is two digits
// of name length, five digits of code page and the name. The table keeps some historical
// entries as they were shipped (cp500 family under 775, "cp1256 " with a trailing blank,
// "shifft_jis").
const char* const kEncodingBuckets[155] = {
    "0800949ksc_5601",
    "1920932cseucpkdfmtjapanese0920003x-cp20003",
    "1250221_iso-2022-jp0228591l10920004x-cp20004",
    "0228592l20920005x-cp20005",
    "1000858ccsid008580600850ibm8500228593l3",
    "0600437ibm4370600860ibm8600228594l40701201ucs-2be",
    "0751932cp519320600852ibm8520600861ibm8610228599l50501250ms-ee",
    "0700858cp008580620127ibm3670600862ibm8620920261x-cp202611010021x-mac-thai",
    "0500869cp-gr0600737ibm7370600863ibm8631057003x-iscii-be",
    "0628591ibm8190600855ibm8550600864ibm8640750221ms50221",
    "0600775ibm7750600865ibm8651028591iso-ir-1000228605l90300949uhc1057002x-iscii-de",
    "0500861cp-is0600857ibm8570600866ibm8661028592iso-ir-1011028594iso-ir-110",
    "0950227x-cp50227",
    "1628598csisolatinhebrew0320866koi1057008x-iscii-ka",
    "1000950big5-hkscs0600869ibm8691220106x-ia5-german",
    "0701200ucs-2le0712001utf32be0920269x-cp202691057009x-iscii-ma",
    "0800708asmo-7080500437cspc81765000unicode-1-1-utf-70612000utf-320920936x-cp20936",
    "1200775ebcdic-cp-be0628598hebrew1765001unicode-1-1-utf-81765001unicode-2-0-utf-"
    "80701201utf16be0551932x-euc",
    "1028597iso-ir-1261028595iso-ir-1440728605latin-90601200utf-161057011x-iscii-pa",
    "1028593iso-ir-1091028596iso-ir-1270751932ms51932",
    "1050225iso2022-kr1128605iso_8859-150600949korean0801253ms-greek0920949x-cp20949",
    "1200775ebcdic-cp-ch1450221iso-2022-jp-ms1028598iso-ir-1381057006x-iscii-as",
    "1028599iso-ir-1481057004x-iscii-ta",
    "1000949iso-ir-1490820127us-ascii",
    "",
    "1900850cspc850multilingual1000936gb_2312-800712000utf32le",
    "1300949csksc560119871057005x-iscii-te1965000x-unicode-2-0-utf-7",
    "0928591iso8859-10701200utf16le1965001x-unicode-2-0-utf-8",
    "0928592iso8859-20520866koi8r1000932x-ms-cp9321420002x_chinese-eten",
    "0928593iso8859-31138598iso8859-8-i1320000x-chinese-cns1057010x-iscii-gu",
    "0928594iso8859-4",
    "1150221csiso2022jp0928595iso8859-5",
    "0900154csptcp1540928596iso8859-6",
    "1400154cyrillic-asian0928597iso8859-70900932shift_jis",
    "1150225csiso2022kr0928598iso8859-81057007x-iscii-or",
    "0928599iso8859-90721866koi8-ru",
    "0910000macintosh",
    "",
    "",
    "",
    "0800936gb2312800628598visual1520108x-ia5-norwegian1210004x-mac-arabic",
    "",
    "0829001x-europa",
    "",
    "1510079x-mac-icelandic",
    "1128591csisolatin10800932sjis-win",
    "1128592csisolatin2",
    "1128593csisolatin31400949ks_c_5601-1987",
    "1128594csisolatin4",
    "0400950big51128595csisolatin51400949ks_c_5601-1989",
    "0500775cp5001565000csunicode11utf7",
    "0501361johab",
    "1100437codepage4371100932windows-932",
    "1800862cspc862latinhebrew1310081x-mac-turkish",
    "",
    "0500154cp1540800775csibm5000701256ms-arab",
    "0520127ascii1100936windows-936",
    "1528597csisolatingreek1100874windows-874",
    "0500850cp850",
    "1650222_iso-2022-jp$sio0500437cp4370500860cp8600500932cp9320500950cp9500700720dos-720",
    "0500852cp8520500861cp8610700949ksc56010812001utf-32be",
    "0520127cp3670500853cp8530500862cp8620528597greek",
    "0500737cp7370500863cp8631150220iso-2022-jp0801201utf-16be",
    "0528591cp8190500855cp8550500864cp8640500936cp9364520932extended_unix_code_packed_format_for_"
    "japanese",
    "0500775cp7750500865cp8650500874cp8740800860csibm860",
    "0500857cp8570500866cp8660800861csibm8611150225iso-2022-kr1101201unicodefffe",
    "0500858cp8580700862dos-8620701255ms-hebr",
    "0500949cp9490800863csibm8631210005x-mac-hebrew",
    "0500869cp8690800855csibm8550800864csibm8641600437cspc8codepage4370700874tis-620",
    "0800865csibm8650700874dos-8740420866koi80800932ms_kanji0800950x-x-big5",
    "0800857csibm8570800866csibm8660812000utf-32le1210003x-mac-korean",
    "",
    "1028591iso-8859-10500932ms9320500154pt1540801200utf-16le",
    "0800869csibm8691028592iso-8859-20620866koi8-r",
    "1500936csiso58gb2312800828597elot_9281028593iso-8859-31238598iso-8859-8-i0820127iso-ir-6",
    "1028594iso-8859-4",
    "0800852cspcp8521028595iso-8859-50621866koi8-u0701252ms-ansi0500936ms936",
    "1028596iso-8859-62400858pc-multilingual-850+euro0220127us",
    "1028597iso-8859-71028603iso8859-13",
    "1028598iso-8859-81320000x-chinese_cns",
    "1828595csisolatincyrillic1028599iso-8859-91028605iso8859-15",
    "0465001utf8",
    "1510017x-mac-ukrainian",
    "",
    "0828595cyrillic",
    "0900936gb2312-80",
    "",
    "0720866cskoi8r1528591iso_8859-1:1987",
    "1528592iso_8859-2:1987",
    "1354936iso-4873:1986",
    "1528593iso_8859-3:19880700932sjis-ms",
    "0600936gb23121528594iso_8859-4:19880701251ms-cyrl",
    "1528595iso_8859-5:19881528596iso_8859-6:1987",
    "1528597iso_8859-7:1987",
    "1300932shifft_jis-ms1201250windows-1250",
    "1110000csmacintosh1528598iso_8859-8:19880900949ks_c_56011201251windows-12510810029x-mac-ce",
    "0601200cp12001201252windows-1252",
    "0601201cp12011052936hz-gb-23121528599iso_8859-9:19891400949ks_c_5601_19871201253windows-1253",
    "1201254windows-1254",
    "1000936csgb2312801201255windows-1255",
    "1201256windows-12561100932windows-31j",
    "0601133cp11330601250cp12501201257windows-1257",
    "0601125cp11250601251cp12511201258windows-1258",
    "0601252cp12520701254ms-turk",
    "0601253cp12530601361cp1361",
    "0601254cp12540800949ks-c5601",
    "0601255cp12550651936euc-cn",
    "0601256cp1256",
    "0601257cp12570600950csbig50800858ibm00858",
    "0601258cp1258",
    "0520105x-ia5",
    "0738598logical0801250x-cp12501110006x-mac-greek",
    "0801251x-cp1251",
    "",
    "1200932cswindows31j1410001x-mac-japanese",
    "0700936chinese0720127csascii0620932euc-jp",
    "0501200ucs-20851936x-euc-cn",
    "0628597greek8",
    "0651949euc-kr",
    "",
    "0628591latin1",
    "1100874iso-8859-110628592latin2",
    "1420127ansi_x3.4-19681420127ansi_x3.4-19861028591iso_8859-10628593latin3",
    "1128603iso-8859-131028592iso_8859-20628594latin40701200unicode",
    "1028593iso_8859-30628599latin51410082x-mac-croatian",
    "1128605iso-8859-151028594iso_8859-40565000utf-70851932x-euc-jp",
    "1300775cspc775baltic1028595iso_8859-50565001utf-80512000utf32",
    "1028596iso_8859-60601252x-ansi1710002x-mac-chinesetrad",
    "1028597iso_8859-70628605latin90700154ptcp1540501200utf161410010x-mac-romanian",
    "0900936iso-ir-581028598iso_8859-8",
    "1028599iso_8859-9",
    "1350221iso2022-jp-ms0400932sjis",
    "0751949cseuckr",
    "1420002x-chinese-eten",
    "1410007x-mac-cyrillic",
    "1000932shifft_jis",
    "0828596ecma-114",
    "",
    "0900932shift-jis",
    "0701256cp1256 1320107x-ia5-swedish",
    "0828597ecma-118",
    "1628596csisolatinarabic1710008x-mac-chinesesimp0600932x-sjis",
    "",
    "0754936gb18030",
    "0712000cp120001350221windows-50221",
    "0628596arabic0500936cn-gb0712001cp120010900932sjis-open",
    "",
    "",
    "0700950cn-big51001133ibm-cp11330920127iso646-us",
    "",
    "0800936csgb23120900949ks-c-56010310000mac",
    "0750221cp502211020127iso-ir-6us1001257winbaltrim",
    "1000932csshiftjis",
    "0765001cp650010300936gbk",
    "1620127iso_646.irv:19911351932windows-519320920001x-cp20001",
};

} // namespace

int LookupEncoding(const char* name) {
    const size_t length = name ? std::strlen(name) : 0;
    if (length == 0)
        return 0;
    if (std::strncmp(name, "UTF-32", 6) == 0)
        return 65005;
    if (length >= 100)
        return kUnknownEncoding;
    char lower[100];
    int sum = 0;
    for (size_t i = 0; i < length; ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        lower[i] = c;
        sum += static_cast<signed char>(c);
    }
    // Bytes above 127 count negative; keep the bucket inside the table for them.
    const int bucket = ((sum % 155) + 155) % 155;
    const char* record = kEncodingBuckets[bucket];
    while (*record) {
        const size_t nameLength = static_cast<size_t>((record[0] - '0') * 10 + (record[1] - '0'));
        const char* recordName = record + 7;
        if (nameLength == length && std::memcmp(recordName, lower, length) == 0) {
            int codePage = 0;
            for (int i = 2; i < 7; ++i)
                codePage = codePage * 10 + (record[i] - '0');
            return codePage;
        }
        record = recordName + nameLength;
    }
    return kUnknownEncoding;
}

} // namespace Velmora
