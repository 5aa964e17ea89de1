#include "web/gl11/gl11.h"

#include "web/gl11/context.h"

namespace gl11 {

bool AttachContext(std::string* why) {
    return Gl().renderer().Create(why);
}

void DetachContext() {
    Gl().renderer().Forget();
}

void FinishFrame() {
    Gl().Flush();
}

void DropLight(int light) {
    Gl().faults().dropLight = light;
}

void DropTextured(bool drop) {
    Gl().faults().dropTextured = drop;
}

} // namespace gl11
