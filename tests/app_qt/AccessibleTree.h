#pragma once

// The accessible tree of a running program read through AT-SPI (libatspi), as a screen reader reads it. The reading
// side runs on a session bus of its own, which the program under test is started on.

#include "RealWindowSession.h"
#include "accessible/AccessibleChecks.h"

#include <atspi/atspi.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace realwindow {

inline bool AccessibilityBusAvailable()
{
    return std::system("command -v dbus-daemon >/dev/null") == 0;
}

// Starts a private D-Bus session bus, once for the process, set in its environment so that both libatspi here and the
// program started afterwards use it (the accessibility bus itself is started by D-Bus activation when first asked
// for); whether libatspi is set up on it. libatspi is set up once and can't be set up again after atspi_exit.
inline bool AccessibilityBusReady()
{
    static std::unique_ptr<Child> daemon;
    static const bool ready = [] {
        const std::string address = StartServer(daemon, [](const std::string& fd) {
            return std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--print-address=" + fd};
        });
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
        ::setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
        if (address.empty() || atspi_init() < 0)
            return false;
        std::atexit([] { atspi_exit(); }); // before the daemon ends
        // A loaded machine answers slower than libatspi's default of under a second per call; a call that times out
        // would read as a missing object.
        atspi_set_timeout(10000, 60000);
        return true;
    }();
    return ready;
}

// The program "kelpmere" read depth first in the order AT-SPI gives the children (the reading order), only what is
// showing. Each read is repeated for up to 60 s until it finds what it looks for: a read of the whole tree takes
// seconds on a loaded machine.
class AtspiReader : public accessible::Reader {
public:
    explicit AtspiReader(const RealProgram& program) : m_program(program) { }
    ~AtspiReader() override { Clear(); }

    accessible::Snapshot Read(const std::function<bool(const accessible::Snapshot&)>& until) override
    {
        WaitFor([&] { return ReadTree() && until(m_elements); }, 60s);
        return m_elements;
    }
    bool Press(const std::string& name) override
    {
        AtspiAccessible* button = Object("push button", name);
        AtspiAction* action = button ? atspi_accessible_get_action_iface(button) : nullptr;
        if (!action)
            return false;
        bool done = false;
        const int count = atspi_action_get_n_actions(action, nullptr);
        for (int i = 0; i < count && !done; ++i)
            done = g_ascii_strcasecmp(Take(atspi_action_get_action_name(action, i, nullptr)).c_str(), "Press") == 0
                && atspi_action_do_action(action, i, nullptr);
        g_object_unref(action);
        return done;
    }
    bool SetText(const std::string& name, const std::string& text) override
    {
        AtspiAccessible* object = Object("text", name);
        AtspiEditableText* edit = object ? atspi_accessible_get_editable_text_iface(object) : nullptr;
        const bool done = edit && atspi_editable_text_set_text_contents(edit, text.c_str(), nullptr);
        if (edit)
            g_object_unref(edit);
        return done;
    }
    void Tab() override { m_program.Key("Tab"); }

private:
    static std::string Take(gchar* text)
    {
        std::string taken = text ? text : "";
        g_free(text);
        return taken;
    }
    // The object of the last read's element with role and name; null when there is none.
    AtspiAccessible* Object(const std::string& role, const std::string& name) const
    {
        for (std::size_t i = 0; i < m_elements.size(); ++i)
            if (m_elements[i].role == role && m_elements[i].name == name)
                return m_objects[i];
        return nullptr;
    }
    void Clear()
    {
        for (AtspiAccessible* object : m_objects)
            g_object_unref(object);
        m_objects.clear();
        m_elements.clear();
    }
    // Reads the tree of the application; whether it is on the desktop.
    bool ReadTree()
    {
        Clear();
        AtspiAccessible* desktop = atspi_get_desktop(0);
        const int apps = atspi_accessible_get_child_count(desktop, nullptr);
        bool found = false;
        for (int i = 0; i < apps && !found; ++i) {
            AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
            if (app && (found = Take(atspi_accessible_get_name(app, nullptr)) == "kelpmere")) {
                atspi_accessible_clear_cache(app);
                ReadChildren(app, "");
            }
            if (app)
                g_object_unref(app);
        }
        g_object_unref(desktop);
        return found;
    }
    void ReadChildren(AtspiAccessible* object, const std::string& id)
    {
        const int count = atspi_accessible_get_child_count(object, nullptr);
        for (int i = 0; i < count && m_objects.size() < 4096; ++i) // a runaway tree stops growing
            if (AtspiAccessible* child = atspi_accessible_get_child_at_index(object, i, nullptr))
                Read(child, id + "/" + std::to_string(i));
    }
    void Read(AtspiAccessible* object, const std::string& id)
    {
        AtspiStateSet* states = atspi_accessible_get_state_set(object);
        if (!states || !atspi_state_set_contains(states, ATSPI_STATE_SHOWING)) {
            if (states)
                g_object_unref(states);
            return g_object_unref(object);
        }
        m_objects.push_back(object);
        accessible::Element& node = m_elements.emplace_back();
        node.id = id;
        node.role = Take(atspi_accessible_get_role_name(object, nullptr));
        node.name = Take(atspi_accessible_get_name(object, nullptr));
        node.description = Take(atspi_accessible_get_description(object, nullptr));
        node.focused = atspi_state_set_contains(states, ATSPI_STATE_FOCUSED);
        node.focusable = atspi_state_set_contains(states, ATSPI_STATE_FOCUSABLE);
        node.selected = atspi_state_set_contains(states, ATSPI_STATE_SELECTED);
        g_object_unref(states);
        if (AtspiValue* value = atspi_accessible_get_value_iface(object)) {
            char number[32];
            std::snprintf(number, sizeof number, "%g", atspi_value_get_current_value(value, nullptr));
            node.value = number;
            g_object_unref(value);
        } else if (AtspiText* text = atspi_accessible_get_text_iface(object)) {
            node.value = Take(atspi_text_get_text(text, 0, -1, nullptr));
            g_object_unref(text);
        }
        ReadChildren(object, id);
    }

    const RealProgram& m_program;
    accessible::Snapshot m_elements;         // what is showing, in reading order; ids are child indices from the top
    std::vector<AtspiAccessible*> m_objects; // of the elements, owned
};

} // namespace realwindow
