#pragma once
// The states the screenshot tool can show. A scene brings the windows into its state and
// then calls done with the window to grab.
#include <functional>
#include <map>
#include <string>

class QWidget;

namespace qr {
class AppContext;
class Program;
}  // namespace qr

namespace qr::screenshot {

using Done = std::function<void(QWidget*)>;
using Scene = std::function<void(Program&, AppContext&, Done)>;

const std::map<std::string, Scene>& scenes();

}  // namespace qr::screenshot
