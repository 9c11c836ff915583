#pragma once
// The states the screenshot tool can show. A scene brings the windows into its state and
// then calls done with the window to grab. Each window's scenes live in a file of their own
// (tools/screenshot/*.cpp) and register themselves with a SceneRegistration.
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

std::map<std::string, Scene>& scenes();

struct SceneRegistration {
    SceneRegistration(const std::string& name, Scene scene) { scenes()[name] = std::move(scene); }
};

}  // namespace qr::screenshot
