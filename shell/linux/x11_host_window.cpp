#include "shell/linux/x11_host_window.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <map>
#include <set>

namespace x11host {

namespace {

Display* g_display = nullptr;
std::map<WindowId, XVisualInfo*> g_childVisuals; // the visual each child was made with
std::set<GLXContext> g_contexts;

Display* Connection() {
    if (g_display == nullptr) {
        g_display = XOpenDisplay(nullptr);
    }
    return g_display;
}

// A request about a window that may be gone is expected to fail now and then; such failures are
// caught here instead of reaching the program's handler, which reports every refusal as a fault.
bool g_trapped = false;
int TrapError(Display*, XErrorEvent*) {
    g_trapped = true;
    return 0;
}

class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display) : display_(display) {
        XSync(display_, False);
        g_trapped = false;
        previous_ = XSetErrorHandler(TrapError);
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    bool Failed() {
        XSync(display_, False);
        return g_trapped;
    }

  private:
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*);
};

// A window's attributes; false when it does not exist (any more).
bool Attributes(WindowId window, XWindowAttributes* attributes) {
    Display* display = Connection();
    if (display == nullptr || window == 0) {
        return false;
    }
    ErrorTrap trap(display);
    return XGetWindowAttributes(display, window, attributes) != 0 && !trap.Failed();
}

} // namespace

bool GetSize(WindowId window, int32_t* width, int32_t* height) {
    XWindowAttributes attributes;
    if (!Attributes(window, &attributes)) {
        return false;
    }
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

bool IsShown(WindowId window) {
    XWindowAttributes attributes;
    return Attributes(window, &attributes) && attributes.map_state == IsViewable;
}

WindowId Parent(WindowId window) {
    Display* display = Connection();
    if (display == nullptr || window == 0) {
        return 0;
    }
    ErrorTrap trap(display);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0 || trap.Failed()) {
        return 0;
    }
    if (children != nullptr) {
        XFree(children);
    }
    return parent;
}

bool RootUnderCompositor(WindowId window) {
    Display* display = Connection();
    if (display == nullptr || window != DefaultRootWindow(display)) {
        return false;
    }
    // The manager of screen N owns the selection _NET_WM_CM_SN while it runs.
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
    return XGetSelectionOwner(display, XInternAtom(display, name.c_str(), False)) != None;
}

WindowId DesktopWindow() {
    Display* display = Connection();
    if (display == nullptr) {
        return 0;
    }
    const Window root = DefaultRootWindow(display);
    const Atom virtualRoot = XInternAtom(display, "__SWM_VROOT", False);
    Window rootReturn = 0, parentReturn = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    WindowId found = root;
    ErrorTrap trap(display);
    if (XQueryTree(display, root, &rootReturn, &parentReturn, &children, &count) != 0) {
        for (unsigned int i = 0; i < count && found == root; ++i) {
            Atom type = None;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[i], virtualRoot, 0, 1, False, XA_WINDOW, &type,
                                   &format, &items, &after, &data) == Success &&
                type == XA_WINDOW && items == 1 && data != nullptr) {
                found = *reinterpret_cast<Window*>(data);
            }
            if (data != nullptr) {
                XFree(data);
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

WindowId CreateChild(WindowId host, int32_t width, int32_t height, int depthBits, int alphaBits,
                     std::string* error) {
    Display* display = Connection();
    if (display == nullptr) {
        *error = "cannot open the display";
        return 0;
    }
    int attributes[] = {GLX_RGBA,
                        GLX_DOUBLEBUFFER,
                        GLX_RED_SIZE,
                        8,
                        GLX_GREEN_SIZE,
                        8,
                        GLX_BLUE_SIZE,
                        8,
                        GLX_ALPHA_SIZE,
                        alphaBits,
                        GLX_DEPTH_SIZE,
                        depthBits,
                        None};
    // The host may be on another screen of the display than the default one (DISPLAY=:0.0 and a
    // window of :0.1): the child takes a visual of the host's screen, or the server refuses it.
    XWindowAttributes hostAttributes;
    if (!Attributes(host, &hostAttributes)) {
        *error = "the host window has gone";
        return 0;
    }
    const int screen = XScreenNumberOfScreen(hostAttributes.screen);
    XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
    if (visual == nullptr) {
        // Some servers have no visual with alpha; the frame does not need it to look right.
        attributes[9] = 0;
        visual = glXChooseVisual(display, screen, attributes);
    }
    if (visual == nullptr) {
        *error = "no OpenGL visual with a depth buffer on the host window's screen";
        return 0;
    }
    ErrorTrap trap(display);
    XSetWindowAttributes set{};
    set.colormap = XCreateColormap(display, host, visual->visual, AllocNone);
    set.background_pixel = BlackPixel(display, screen);
    set.border_pixel = 0;
    const Window child = XCreateWindow(
        display, host, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
        visual->depth, InputOutput, visual->visual, CWColormap | CWBackPixel | CWBorderPixel, &set);
    XMapWindow(display, child);
    if (trap.Failed()) {
        *error = "the X server refused a window inside the host window";
        XFree(visual);
        return 0;
    }
    g_childVisuals[child] = visual;
    return child;
}

void DestroyChild(WindowId child) {
    Display* display = Connection();
    auto found = g_childVisuals.find(child);
    if (display == nullptr || found == g_childVisuals.end()) {
        return;
    }
    {
        // Gone already when its host was destroyed first.
        ErrorTrap trap(display);
        XDestroyWindow(display, child);
    }
    XFree(found->second);
    g_childVisuals.erase(found);
}

void ResizeChild(WindowId child, int32_t width, int32_t height) {
    Display* display = Connection();
    if (display == nullptr) {
        return;
    }
    ErrorTrap trap(display);
    XResizeWindow(display, child, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void HideChild(WindowId child) {
    Display* display = Connection();
    if (display == nullptr) {
        return;
    }
    ErrorTrap trap(display);
    XUnmapWindow(display, child);
}

void* CreateContext(WindowId child, std::string* error) {
    auto found = g_childVisuals.find(child);
    if (g_display == nullptr || found == g_childVisuals.end()) {
        *error = "no window to make an OpenGL context for";
        return nullptr;
    }
    ErrorTrap trap(g_display);
    GLXContext context = glXCreateContext(g_display, found->second, nullptr, True);
    if (context == nullptr || trap.Failed()) {
        *error = "the OpenGL driver refused a context";
        return nullptr;
    }
    g_contexts.insert(context);
    return context;
}

bool MakeCurrent(WindowId child, void* context) {
    if (g_display == nullptr) {
        return false;
    }
    ErrorTrap trap(g_display);
    const Bool made = context == nullptr
                          ? glXMakeCurrent(g_display, None, nullptr)
                          : glXMakeCurrent(g_display, child, static_cast<GLXContext>(context));
    return made == True && !trap.Failed();
}

void DeleteContext(void* context) {
    auto found = g_contexts.find(static_cast<GLXContext>(context));
    if (g_display == nullptr || found == g_contexts.end()) {
        return;
    }
    glXDestroyContext(g_display, *found);
    g_contexts.erase(found);
}

void SwapBuffers(WindowId child) {
    if (g_display == nullptr) {
        return;
    }
    // Swapping into a window whose host has just gone fails; the next look at the host ends the
    // run.
    ErrorTrap trap(g_display);
    glXSwapBuffers(g_display, child);
}

bool SetSwapInterval(WindowId child, int interval) {
    if (g_display == nullptr) {
        return false;
    }
    using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
    using SwapIntervalMesa = int (*)(unsigned int);
    // Asked of the extension list first: a dispatching library hands out an entry point for any
    // name, whether the driver has it or not.
    auto found = g_childVisuals.find(child);
    const int screen = found != g_childVisuals.end() ? found->second->screen : 0;
    const char* extensions = glXQueryExtensionsString(g_display, screen);
    const std::string list = extensions != nullptr ? std::string(" ") + extensions + " " : "";
    // Through a plain pointer: the entry points' real types are not the generic one they come as.
    auto ext = reinterpret_cast<SwapIntervalExt>(reinterpret_cast<void*>(
        glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT"))));
    auto mesa = reinterpret_cast<SwapIntervalMesa>(reinterpret_cast<void*>(
        glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA"))));
    if (ext != nullptr && list.find(" GLX_EXT_swap_control ") != std::string::npos) {
        ErrorTrap trap(g_display);
        ext(g_display, child, interval);
        return !trap.Failed();
    }
    if (mesa != nullptr && list.find(" GLX_MESA_swap_control ") != std::string::npos) {
        return interval >= 0 && mesa(static_cast<unsigned int>(interval)) == 0;
    }
    return false;
}

} // namespace x11host
