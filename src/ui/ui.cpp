#include "ui/ui.h"

#include "base/cp1252.h"

namespace klango::ui {

// Without a way to show UTF-8, the names are shown as CP1252 can ("?" for what it lacks).
void Ui::infoWithNames(const std::string& title, const std::string& text, const std::vector<std::string>& fileNames) {
    std::string all = text;
    for (const std::string& name : fileNames) all += "\n" + base::utf8ToCp1252(name);
    info(title, all);
}

}  // namespace klango::ui
