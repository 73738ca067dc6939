// The one-character code fields and their radio items and display texts.
#pragma once

#include "store/model.h"

namespace kx {

const char* sexText(char code);             // "男性" / "女性" / "団体"
const char* occupationText(char code);      // 8 bytes, "その他 " 7
const char* actuaryText(char code);         // 8 bytes
const char* pensionActuaryText(char code);  // 8 bytes
// field is Sex, Occupation, Actuary or PensionActuary.
char codeOfItem(Field field, int item);
int itemOfCode(Field field, char code);

}  // namespace kx
