#include "settings/FormValues.h"

namespace vesko {

FormValues::FormValues() {
    // Ranges, typing limits and initial values of the eighteen spin edits.
    struct Def { int index; std::int64_t min, max; int maxLength; std::int64_t initial; };
    static const Def kDefs[] = {
        {1, 0, 23, 5, 0},     {2, 0, 59, 0, 0},     {3, 0, 23, 0, 0},     {4, 0, 59, 0, 0},
        {5, 0, 99, 2, 0},     {6, 1, 99999, 5, 1},  {7, 0, 0, 5, 0},      {8, 1, 99999, 5, 1},
        {9, 0, 99, 2, 0},     {10, 1, 99999, 5, 1}, {11, 1, 99999, 5, 1}, {12, 0, 23, 0, 0},
        {13, 0, 59, 0, 0},    {14, 0, 23, 0, 0},    {15, 0, 59, 0, 0},    {16, 0, 99999, 0, 0},
        {17, 0, 59, 0, 0},    {18, 1, 99999, 5, 1},
    };
    for (const Def& d : kDefs) WinSpinEdit[d.index] = SpinValue(d.min, d.max, d.maxLength, d.initial);
    RadioButton[1] = true;
    RadioButton[4] = true;
}

void FormValues::SetRadio(int index, bool checked) {
    if (checked) {
        int first = index <= 3 ? 1 : 4;
        int last = index <= 3 ? 3 : 5;
        for (int i = first; i <= last; ++i) RadioButton[i] = false;
    }
    RadioButton[index] = checked;
}

}  // namespace vesko
