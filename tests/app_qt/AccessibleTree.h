#pragma once

// The accessible tree of a running program read through AT-SPI (libatspi), as a screen reader
// reads it. The reading side runs on a session bus of its own (AccessibilityBus), which the
// program under test is started on.

#include "RealWindowSession.h"

#include <atspi/atspi.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace realwindow {

// A private D-Bus session bus for one test, set in this process's environment so that both
// libatspi here and the program started afterwards use it; the accessibility bus itself is
// started by D-Bus activation when first asked for.
class AccessibilityBus {
public:
    AccessibilityBus()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_daemon = std::make_unique<Child>(std::vector<std::string>{"dbus-daemon", "--session", "--nofork",
                                               "--print-address=" + std::to_string(fds[1])},
            std::map<std::string, std::string>{});
        ::close(fds[1]);
        pollfd ready{fds[0], POLLIN, 0};
        std::string address;
        for (char c = 0; ::poll(&ready, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n';)
            address += c;
        ::close(fds[0]);
        if (address.empty())
            return;
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
        ::setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
        m_ready = atspi_init() >= 0;
        // A loaded machine answers slower than libatspi's default of under a second per call; a
        // call that times out would read as a missing object.
        if (m_ready)
            atspi_set_timeout(10000, 60000);
    }
    ~AccessibilityBus()
    {
        if (m_ready)
            atspi_exit();
    }
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    static bool Available() { return std::system("command -v dbus-daemon >/dev/null") == 0; }
    // The process's one bus: libatspi is set up once and can't be set up again after atspi_exit.
    static AccessibilityBus& Shared()
    {
        static AccessibilityBus bus;
        return bus;
    }
    bool Ready() const { return m_ready; }

private:
    std::unique_ptr<Child> m_daemon;
    bool m_ready = false;
};

// One accessible object as read at one moment.
struct AccessibleNode {
    AtspiAccessible* object = nullptr; // owned by the AccessibleTree that read it
    std::string role;                  // AT-SPI's role name: "push button", "page tab", "text", ...
    std::string name;
    std::string description;
    std::string text; // the text interface's whole text, when it has one
    std::optional<double> value;
    bool showing = false;
    bool focused = false;
    bool focusable = false;
    bool selected = false;
    std::vector<const AccessibleNode*> children;
    const AccessibleNode* parent = nullptr;
};

// A snapshot of one application's accessible tree, depth first in the order AT-SPI gives the
// children (the reading order). Only what is showing is read below a node that is not.
class AccessibleTree {
public:
    // The tree of the application named appName on the desktop; empty when it is not there.
    explicit AccessibleTree(const std::string& appName)
    {
        AtspiAccessible* desktop = atspi_get_desktop(0);
        const int apps = atspi_accessible_get_child_count(desktop, nullptr);
        for (int i = 0; i < apps && m_nodes.empty(); ++i) {
            AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
            if (!app)
                continue;
            gchar* name = atspi_accessible_get_name(app, nullptr);
            if (name && appName == name) {
                atspi_accessible_clear_cache(app);
                m_nodes.reserve(4096); // nodes point at each other: no reallocation while reading
                Read(app, nullptr);
            } else {
                g_object_unref(app);
            }
            g_free(name);
        }
        g_object_unref(desktop);
    }
    ~AccessibleTree()
    {
        for (AccessibleNode& node : m_nodes)
            g_object_unref(node.object);
    }
    AccessibleTree(const AccessibleTree&) = delete;
    AccessibleTree& operator=(const AccessibleTree&) = delete;

    bool Empty() const { return m_nodes.empty(); }

    // The showing nodes that match, in reading order.
    std::vector<const AccessibleNode*> FindAll(const std::function<bool(const AccessibleNode&)>& match) const
    {
        std::vector<const AccessibleNode*> found;
        for (const AccessibleNode& node : m_nodes)
            if (node.showing && match(node))
                found.push_back(&node);
        return found;
    }
    const AccessibleNode* Find(const std::string& role, const std::string& name) const
    {
        auto found = FindAll([&](const AccessibleNode& n) { return n.role == role && n.name == name; });
        return found.empty() ? nullptr : found.front();
    }
    const AccessibleNode* Focused() const
    {
        auto found = FindAll([](const AccessibleNode& n) { return n.focused; });
        return found.empty() ? nullptr : found.back();
    }

private:
    static std::string Take(gchar* text)
    {
        std::string taken = text ? text : "";
        g_free(text);
        return taken;
    }

    void Read(AtspiAccessible* object, AccessibleNode* parent)
    {
        if (m_nodes.size() == m_nodes.capacity())
            return; // a runaway tree: the snapshot stops growing rather than invalidating its pointers
        AccessibleNode& node = m_nodes.emplace_back();
        node.object = object;
        node.parent = parent;
        if (parent)
            parent->children.push_back(&node);
        node.role = Take(atspi_accessible_get_role_name(object, nullptr));
        node.name = Take(atspi_accessible_get_name(object, nullptr));
        node.description = Take(atspi_accessible_get_description(object, nullptr));
        if (AtspiStateSet* states = atspi_accessible_get_state_set(object)) {
            node.showing = atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
            node.focused = atspi_state_set_contains(states, ATSPI_STATE_FOCUSED);
            node.focusable = atspi_state_set_contains(states, ATSPI_STATE_FOCUSABLE);
            node.selected = atspi_state_set_contains(states, ATSPI_STATE_SELECTED);
            g_object_unref(states);
        }
        if (AtspiText* text = atspi_accessible_get_text_iface(object)) {
            node.text = Take(atspi_text_get_text(text, 0, -1, nullptr));
            g_object_unref(text);
        }
        if (AtspiValue* value = atspi_accessible_get_value_iface(object)) {
            node.value = atspi_value_get_current_value(value, nullptr);
            g_object_unref(value);
        }
        if (!node.showing && parent)
            return;
        const int count = atspi_accessible_get_child_count(object, nullptr);
        for (int i = 0; i < count; ++i) {
            if (AtspiAccessible* child = atspi_accessible_get_child_at_index(object, i, nullptr))
                Read(child, &node);
        }
    }

    std::vector<AccessibleNode> m_nodes;
};

// Runs the action named actionName ("Press", compared without case) of object; whether it ran.
inline bool DoAccessibleAction(AtspiAccessible* object, const std::string& actionName)
{
    AtspiAction* action = atspi_accessible_get_action_iface(object);
    if (!action)
        return false;
    bool done = false;
    const int count = atspi_action_get_n_actions(action, nullptr);
    for (int i = 0; i < count && !done; ++i) {
        gchar* name = atspi_action_get_action_name(action, i, nullptr);
        if (name && g_ascii_strcasecmp(name, actionName.c_str()) == 0)
            done = atspi_action_do_action(action, i, nullptr);
        g_free(name);
    }
    g_object_unref(action);
    return done;
}

// Replaces object's whole text through its editable-text interface; whether it took it.
inline bool SetAccessibleText(AtspiAccessible* object, const std::string& text)
{
    AtspiEditableText* editable = atspi_accessible_get_editable_text_iface(object);
    if (!editable)
        return false;
    const bool done = atspi_editable_text_set_text_contents(editable, text.c_str(), nullptr);
    g_object_unref(editable);
    return done;
}

} // namespace realwindow
