#include "logger/ComPortDescriptions.h"

#include <QComboBox>

#include "serial/PortNames.h"

namespace qr {

void describeComItems(QComboBox& box, const std::function<std::string(const std::string&)>& resolve,
                      const std::vector<SerialDevice>& devices) {
    for (int i = 0; i < box.count(); ++i) {
        const std::optional<int> number = parseComNumber(box.itemText(i).toStdString());
        if (!number) continue;
        const std::string path = resolve(comName(*number));
        const QString text =
            QString::fromStdString(path.empty() ? "kein Gerät" : attachedText(path, devices));
        box.setItemData(i, text, Qt::ToolTipRole);
        box.setItemData(i, text, Qt::AccessibleDescriptionRole);
    }
}

}  // namespace qr
