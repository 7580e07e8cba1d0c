// The message numbers the system raises and the severity letter each one carries.
// Every catalog must hold a text for every number listed here, with this letter at the
// 8th character of its identifier; the catalog unit test enforces it. A new message is
// added here first, then to the catalogs.
#ifndef KVR_MESSAGE_IDS_H
#define KVR_MESSAGE_IDS_H

#include <cstdint>

namespace kvr {

struct MessageId {
    uint32_t number;
    char letter;
};

// Standard numbers (catalogs kvrenus, kvrkokr, kvrjajp).
inline constexpr MessageId kStandardMessages[] = {
    // copyright block, version, table reports, one-line texts
    {1000, 'I'}, {1001, 'I'}, {1002, 'I'}, {1003, 'I'}, {1004, 'I'}, {1005, 'I'}, {1006, 'I'},
    {1100, 'I'}, {1101, 'I'}, {1102, 'I'}, {1103, 'I'}, {1104, 'I'}, {1105, 'I'}, {1106, 'I'},
    {1107, 'I'}, {1108, 'I'}, {1109, 'I'}, {1119, 'I'}, {1201, 'I'},
    // names, search lists, members
    {1300, 'E'}, {1301, 'E'}, {1302, 'E'}, {1303, 'W'}, {1304, 'W'}, {1305, 'W'}, {1306, 'W'},
    {1307, 'W'}, {1308, 'W'}, {1309, 'W'}, {1311, 'E'}, {1312, 'E'}, {1313, 'E'},
    // reading statements
    {1314, 'W'}, {1315, 'W'}, {1316, 'W'}, {1317, 'W'}, {1318, 'W'}, {1319, 'W'}, {1327, 'W'},
    {1328, 'W'}, {1334, 'W'}, {1336, 'W'}, {1340, 'W'}, {1342, 'E'}, {1350, 'W'}, {1355, 'W'},
    {1356, 'W'}, {1359, 'E'}, {1360, 'E'}, {1363, 'W'}, {1365, 'W'}, {1367, 'W'}, {1368, 'W'},
    {1371, 'W'}, {1372, 'W'}, {1373, 'W'}, {1375, 'W'}, {1376, 'W'}, {1377, 'I'}, {1378, 'I'},
    {1380, 'W'}, {1381, 'W'}, {1382, 'E'}, {1383, 'E'},
    // statement log, steps, overrides
    {1391, 'I'}, {1392, 'I'}, {1393, 'W'}, {1395, 'W'}, {1396, 'W'}, {1397, 'W'}, {1398, 'I'},
    {1399, 'I'}, {1400, 'I'}, {1402, 'W'}, {1403, 'W'}, {1406, 'W'}, {1407, 'W'}, {1410, 'I'},
    {1413, 'W'}, {1417, 'S'}, {1421, 'W'},
    // run units, output, memory, overrides, locators
    {1442, 'W'}, {1443, 'W'}, {1444, 'W'}, {1445, 'W'}, {1448, 'W'}, {1449, 'W'}, {1450, 'S'},
    {1452, 'W'}, {1453, 'W'}, {1462, 'W'}, {1463, 'W'}, {1470, 'I'}, {1471, 'I'},
    // jobs of a member, EXEC overrides naming no step of their procedure
    {1480, 'I'}, {1481, 'W'},
    // system symbols: a symbol left unresolved in a data set name, a malformed DD:SYSSYMS line
    {1482, 'W'}, {1483, 'W'},
    // a member that holds no text (binary data, UTF-16, an archive)
    {1484, 'E'},
    // files, names, operation words, statistics, tables, configuration
    {1638, 'I'}, {1680, 'E'}, {1681, 'S'}, {1690, 'W'}, {1691, 'E'}, {1703, 'W'}, {1778, 'E'}, {2134, 'I'}, {2400, 'W'}, {3112, 'W'},
};

// Velkor-mode numbers (catalog pjwenus). The few messages raised under their standard
// number in every mode (bad continuation cards, INCLUDE without MEMBER, the cards after a
// null statement, an EXEC override naming no step of its procedure, the system symbol
// messages, a member that holds no text) are here too, so that Velkor mode finds their texts.
inline constexpr MessageId kVelkorMessages[] = {
    {1316, 'W'}, {1317, 'W'}, {1318, 'W'}, {1421, 'W'}, {1480, 'I'}, {1481, 'W'}, {1482, 'W'},
    {1483, 'W'}, {1484, 'E'},
    {3001, 'I'}, {3002, 'I'}, {3003, 'I'}, {3004, 'I'}, {3005, 'I'}, {3006, 'I'}, {3007, 'I'},
    {3120, 'I'}, {3009, 'I'}, {3010, 'I'}, {3011, 'I'}, {3012, 'I'}, {3013, 'I'}, {3014, 'I'},
    {3015, 'I'}, {3016, 'I'}, {3017, 'I'}, {3018, 'I'},
    {3019, 'E'}, {3020, 'E'}, {3021, 'E'}, {3022, 'W'}, {3023, 'W'}, {3024, 'W'}, {3025, 'W'},
    {3026, 'W'}, {3027, 'W'}, {3028, 'W'}, {3030, 'E'}, {3031, 'E'}, {3032, 'E'},
    {3033, 'W'}, {3034, 'W'}, {3038, 'W'}, {3039, 'W'}, {3040, 'W'}, {3043, 'W'}, {3046, 'W'},
    {3048, 'E'}, {3050, 'S'}, {3054, 'W'}, {3058, 'W'}, {3059, 'W'}, {3062, 'E'}, {3063, 'E'},
    {3065, 'W'}, {3066, 'W'}, {3067, 'W'}, {3068, 'W'}, {3070, 'W'}, {3071, 'W'}, {3072, 'W'},
    {3073, 'W'}, {3074, 'W'}, {3075, 'I'}, {3076, 'I'}, {3078, 'W'}, {3079, 'W'}, {3080, 'E'},
    {3081, 'E'}, {3082, 'I'}, {3083, 'I'}, {3084, 'W'}, {3086, 'W'}, {3087, 'W'}, {3088, 'W'},
    {3089, 'I'}, {3090, 'I'}, {3091, 'I'}, {3092, 'W'}, {3093, 'W'}, {3095, 'W'}, {3096, 'W'},
    {3097, 'I'}, {3098, 'W'}, {3101, 'W'}, {3102, 'W'}, {3104, 'W'}, {3105, 'W'}, {3108, 'W'},
    {3109, 'W'}, {3110, 'W'}, {3111, 'W'}, {3112, 'W'}, {3113, 'I'}, {3119, 'S'}, {3121, 'S'}, {3122, 'W'}, {3123, 'E'}, {3130, 'I'},
    {3131, 'I'}, {3140, 'E'},
};

} // namespace kvr

#endif
