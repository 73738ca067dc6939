#include "forms/unit12.h"

#include "ui/encoding.h"
#include "ui/services.h"

namespace kx {

namespace {

using ui::fromUtf8;

constexpr int kLeft = 24;
constexpr int kRuleLeft = 40;  // the rules stand indented under their heading

}  // namespace

TForm12::TForm12(Session& s, Navigator& n)
    : ui::Window("Form12", "CSV-INPUT", 651, 359), session(s), navigator(n) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  Label1 = addLabel("Label1", kLeft, 12, fromUtf8(u8"CSVファイル(korvelix.csv)からの入力"));
  Label1->setFont(ui::Font{ui::Font::Proportional, 21, true, false, 0x000000});
  Label2 = addLabel("Label2", kLeft, 52,
                    fromUtf8(u8"CSVファイルのフォーマット(15項目のｶﾝﾏ区切りﾚｺｰﾄﾞ)"));
  Label3 = addLabel("Label3", kLeft, 74,
                    fromUtf8(u8"ｶﾅ氏名, 漢字氏名, 性別, ｶﾅ社名, 漢字社名, 所属, 役職, TEL, FAX, "
                             u8"自宅TEL, 携帯, Email, 郵便番号, 住所, 備考"));
  Label8 = addLabel("Label8", kLeft, 104, fromUtf8(u8"入力上の注意点"));
  Label8->setFont(ui::Font{ui::Font::Proportional, 16, false, false, 0x000000});
  Label4 = addLabel("Label4", kRuleLeft, 132, fromUtf8(u8"ｶﾅは半角ｶﾅ文字"));
  Label6 = addLabel("Label6", 200, 132,
                    fromUtf8(u8"TEL,FAX,携帯,Email,郵便番号は半角英数字(-も入力可能)"));
  Label11 = addLabel("Label11", kRuleLeft, 154,
                     fromUtf8(u8"漢字氏名,漢字社名,所属,役職,住所,備考は全角漢字"));
  Label9 = addLabel("Label9", kRuleLeft, 176,
                    fromUtf8(u8"氏名は1項目だがｶﾅ・漢字ともに姓と名の間を半角1文字あける　例：ﾔﾏﾀﾞ ﾀﾛｳ"));
  Label10 = addLabel("Label10", kRuleLeft, 198,
                     fromUtf8(u8"上記以外は区切りｶﾝﾏの前後にｽﾍﾟｰｽは入れない"));
  Label5 = addLabel("Label5", kRuleLeft, 220,
                    fromUtf8(u8"性別は半角英文字1桁：M(男)またはF(女)、省略(ｽﾍﾟｰｽ)は団体"));
  Label7 = addLabel("Label7", kRuleLeft, 242, fromUtf8(u8"省略した項目はｽﾍﾟｰｽが入る"));
  Button1 = addButton("Button1", 184, 288, 105, 33, fromUtf8(u8"実行"));
  Button1->onClick([this] { Button1Click(); });
  Button2 = addButton("Button2", 360, 288, 105, 33, fromUtf8(u8"キャンセル"));
  Button2->onClick([this] { Button2Click(); });
  onEscape([this] { Button2Click(); });
}

void TForm12::Button1Click() {
  const int result = session.importCsvFile();
  ui::services().show(result == 0 ? "IMPORT COMPLETED" : "IMPORT FAILED");
  close();
  if (result == 0) navigator.offerDuplicatesOfImport();
}

void TForm12::Button2Click() { close(); }

}  // namespace kx
