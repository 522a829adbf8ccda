// X11 window listing through xcb; see CX11Desktop.h. Requests for all windows
// are sent before any reply is read, so a listing costs few round trips.
#include "CX11Desktop.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Frees an xcb reply when it goes out of scope.
template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
    return Reply<T>(reply, &std::free);
}

struct WindowRequests {
    xcb_window_t id;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_property_cookie_t extents;
    xcb_get_property_cookie_t state;
};

}  // namespace

struct CX11Desktop::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_window_t root = 0;
    int screen = 0;
    xcb_ewmh_connection_t ewmh{};
    bool hasEwmh = false;

    explicit Connection(const char* display) {
        xcb = xcb_connect(display, &screen);
        if (xcb_connection_has_error(xcb) != 0) {
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(xcb));
        for (int i = 0; i < screen && it.rem > 0; ++i) {
            xcb_screen_next(&it);
        }
        root = it.data != nullptr ? it.data->root : 0;
        xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(xcb, &ewmh);
        hasEwmh = xcb_ewmh_init_atoms_replies(&ewmh, cookies, nullptr) != 0;
    }
    ~Connection() {
        if (hasEwmh) {
            xcb_ewmh_connection_wipe(&ewmh);
        }
        xcb_disconnect(xcb);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool Ok() const { return xcb_connection_has_error(xcb) == 0 && root != 0; }

    // The window manager's clients, or nothing when no manager keeps a list.
    bool ClientList(std::vector<xcb_window_t>& out) {
        if (!hasEwmh) {
            return false;
        }
        xcb_ewmh_get_windows_reply_t list;
        if (xcb_ewmh_get_client_list_reply(&ewmh, xcb_ewmh_get_client_list(&ewmh, screen), &list,
                                           nullptr) == 0) {
            return false;
        }
        out.assign(list.windows, list.windows + list.windows_len);
        xcb_ewmh_get_windows_reply_wipe(&list);
        return true;
    }

    std::vector<xcb_window_t> RootChildren() {
        auto tree = Own(xcb_query_tree_reply(xcb, xcb_query_tree(xcb, root), nullptr));
        if (!tree) {
            return {};
        }
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        return {children, children + xcb_query_tree_children_length(tree.get())};
    }

    WindowRequests Ask(xcb_window_t id, bool managed) {
        WindowRequests r{id,
                         xcb_get_window_attributes(xcb, id),
                         xcb_get_geometry(xcb, id),
                         xcb_translate_coordinates(xcb, id, root, 0, 0),
                         {},
                         {}};
        if (managed) {
            r.extents = xcb_ewmh_get_frame_extents(&ewmh, id);
            r.state = xcb_ewmh_get_wm_state(&ewmh, id);
        }
        return r;
    }

    bool IsHidden(xcb_get_property_cookie_t cookie) {
        xcb_ewmh_get_atoms_reply_t atoms;
        if (xcb_ewmh_get_wm_state_reply(&ewmh, cookie, &atoms, nullptr) == 0) {
            return false;
        }
        const xcb_atom_t* begin = atoms.atoms;
        const xcb_atom_t* end = begin + atoms.atoms_len;
        const bool hidden = std::find(begin, end, ewmh._NET_WM_STATE_HIDDEN) != end;
        xcb_ewmh_get_atoms_reply_wipe(&atoms);
        return hidden;
    }

    // A managed client's outer rectangle is its client area grown by the frame
    // the manager announces; an unmanaged window's includes its X border.
    CDesktopWindow Answer(const WindowRequests& r, bool managed) {
        auto attr = Own(xcb_get_window_attributes_reply(xcb, r.attributes, nullptr));
        auto geom = Own(xcb_get_geometry_reply(xcb, r.geometry, nullptr));
        auto origin = Own(xcb_translate_coordinates_reply(xcb, r.origin, nullptr));
        xcb_ewmh_get_extents_reply_t frame{};
        const bool framed =
            managed && xcb_ewmh_get_frame_extents_reply(&ewmh, r.extents, &frame, nullptr) != 0;
        const bool hidden = managed && IsHidden(r.state);
        CDesktopWindow w;
        w.m_id = r.id;
        if (!attr || !geom || !origin) {
            return w;  // gone meanwhile: reported, but offers no edges
        }
        const int border = managed ? 0 : geom->border_width;
        w.m_outer = QRect(origin->dst_x - border, origin->dst_y - border, geom->width + 2 * border,
                          geom->height + 2 * border);
        if (framed) {
            w.m_outer.adjust(-static_cast<int>(frame.left), -static_cast<int>(frame.top),
                             static_cast<int>(frame.right), static_cast<int>(frame.bottom));
        }
        w.m_visible = attr->map_state == XCB_MAP_STATE_VIEWABLE && !hidden &&
                      attr->_class != XCB_WINDOW_CLASS_INPUT_ONLY &&
                      (managed || attr->override_redirect == 0);
        return w;
    }
};

CX11Desktop::CX11Desktop(const char* display) : m_conn(std::make_unique<Connection>(display)) {}

CX11Desktop::~CX11Desktop() = default;

bool CX11Desktop::IsConnected() const {
    return m_conn->Ok();
}

std::vector<CDesktopWindow> CX11Desktop::TopLevelWindows() const {
    if (!IsConnected()) {
        return {};
    }
    std::vector<xcb_window_t> ids;
    const bool managed = m_conn->ClientList(ids);
    if (!managed) {
        ids = m_conn->RootChildren();
    }
    std::vector<WindowRequests> requests;
    requests.reserve(ids.size());
    for (const xcb_window_t id : ids) {
        requests.push_back(m_conn->Ask(id, managed));
    }
    std::vector<CDesktopWindow> windows;
    windows.reserve(requests.size());
    for (const WindowRequests& r : requests) {
        windows.push_back(m_conn->Answer(r, managed));
    }
    return windows;
}

bool CX11Desktop::IsPrimaryButtonDown() const {
    if (!IsConnected()) {
        return CQtDesktop::IsPrimaryButtonDown();
    }
    auto pointer = Own(xcb_query_pointer_reply(
        m_conn->xcb, xcb_query_pointer(m_conn->xcb, m_conn->root), nullptr));
    return pointer && (pointer->mask & XCB_BUTTON_MASK_1) != 0;
}
