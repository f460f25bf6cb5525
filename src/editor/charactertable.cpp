#include "editor/charactertable.h"

namespace charactermode {

namespace {

// Key chart order: down the first column, then the second, then the third.
const KeyReplacement kTable[TableSize] = {
    {'c', 169}, {'C', 171},  {'r', 174},  {'R', 199}, {'A', 164}, {'a', 178}, {'B', 188}, {'D', 190},
    {'d', 189}, {'b', 191},  {'E', 198},  {'e', 165}, {'P', 182}, {'p', 186}, {'F', 187}, {'f', 181},
    {'G', 162}, {'g', 161},  {'H', 163},  {'h', 164}, {'I', 166}, {'i', 167}, {'J', 168}, {'j', 170},
    {'L', 172}, {'l', 173},  {'M', 175},  {'m', 176}, {'N', 177}, {'n', 178}, {'O', 179}, {'o', 180},
    {'Q', 181}, {'q', 183},  {'S', 184},  {'s', 185}, {'T', 186}, {'t', 192}, {'U', 193}, {'u', 194},
    {'V', 195}, {'v', 196},  {'W', 197},  {'w', 199}, {'X', 200}, {'x', 201}, {'Y', 202}, {'y', 203},
    {'Z', 204}, {'z', 205},  {'1', 206},  {'2', 207}, {'3', 208}, {'4', 209}, {'5', 210}, {'6', 211},
    {'7', 212}, {'8', 213},  {'9', 214},  {'0', 215}, {'=', 216}, {'+', 217}, {'_', 218}, {'-', 219},
    {'"', 220}, {'\'', 221}, {'/', 222},  {'!', 223}, {'@', 224}, {'#', 225}, {'$', 226}, {'%', 227},
    {'^', 228}, {'&', 229},  {'*', 230},  {'(', 231}, {')', 232}, {'{', 233}, {'[', 234}, {'}', 235},
    {']', 236}, {'|', 237},  {'\\', 238}, {';', 239}, {':', 240}, {'<', 241}, {'.', 242}, {',', 243},
    {'>', 244}, {'~', 245},  {'`', 246},  {'K', 247}, {'k', 248},
};

} // namespace

const KeyReplacement *table()
{
    return kTable;
}

int replacement(int code)
{
    for (const KeyReplacement &r : kTable)
        if (static_cast<unsigned char>(r.key) == code)
            return r.code;
    return 0;
}

int translate(int code)
{
    if (const int r = replacement(code))
        return r;
    if (code == ' ' || code == 13)
        return code;
    return 0;
}

int typedCode(bool modeOn, int code)
{
    return modeOn ? translate(code) : code;
}

} // namespace charactermode
