#pragma once
// Shared by the GDI+ drawing backend and the Win32 window (Windows only).

namespace gui::gdiplus {

// GDI+ is started once per module and shut down when the last user lets go: every context,
// image and editor session holds one of these. Hosts load and unload plug-ins at will, so the
// module never starts GDI+ from DllMain nor leaves it running after its last object.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    bool isRunning() const { return running; }

private:
    bool running;
};

// How many sessions are open in this module (tests).
int openSessions();

} // namespace gui::gdiplus
