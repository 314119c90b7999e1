// Control identifiers of the merge window (window class "BarcodeMerge").
#pragma once

enum MergeWindowId : int {
    kUseList1CheckId = 201, kUseList2CheckId = 202, kCreateTableButtonId = 203, kSaveTableButtonId = 204,
    kTransposeCheckId = 205, kForBarcodeCheckId = 206,
    kMergeColumnsComboId = 207, kList1EditId = 208, kList2EditId = 209, kMergePrefixEditId = 210,
    kMergeStartEditId = 211, kMergeCountEditId = 212,
    kUpperLatinCheckId = 301, kLowerLatinCheckId = 302, kUpperCyrillicCheckId = 303, kLowerCyrillicCheckId = 304,
    kDigitsCheckId = 305, kPasswordLengthComboId = 306, kPasswordCountEditId = 307, kGeneratePasswordsButtonId = 308,
    kSingleColumnCheckId = 309, kSpecialCheckId = 310,
};
