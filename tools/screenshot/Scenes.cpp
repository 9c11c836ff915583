#include "screenshot/Scenes.h"

#include "app/Program.h"
#include "logger/TZelmor.h"

namespace qr::screenshot {

std::map<std::string, Scene>& scenes() {
    static std::map<std::string, Scene> all;
    return all;
}

namespace {
const SceneRegistration mainScene("main", [](Program& program, AppContext&, Done done) {
    done(&program.mainWindow());
});
}  // namespace

}  // namespace qr::screenshot
