#include "screenshot/Scenes.h"

#include "app/Program.h"
#include "logger/TZelmor.h"

namespace qr::screenshot {

const std::map<std::string, Scene>& scenes() {
    static const std::map<std::string, Scene> all = {
        {"main", [](Program& program, AppContext&, Done done) { done(&program.mainWindow()); }},
    };
    return all;
}

}  // namespace qr::screenshot
