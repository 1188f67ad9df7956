"""The setup program's and the uninstaller's wizards, driven with keys as a
user drives them and read through the texts of the foreground window."""

from common import expect
from release_common import (UNINSTALL_KEY, UNINSTALL_TIMEOUT, UTF8_ARGUMENTS, end_uninstaller_copies, folder_options,
                            reg_string, uninstaller_copies)
from winenv import poll

WIZARD_TIMEOUT = 30
# The English pages' own texts.
COMPONENTS_TEXT = "Choose Components"
FINISH_TEXT = "Completing Solvane"
UNINSTALL_CONFIRM_TEXT = "Remove Solvane"


class Wizard:
    """The setup program's wizard, driven with keys as a user drives it and
    read through the texts of the foreground window."""

    def __init__(self, env, setup, folder, locale, options=(), winedebug=None):
        self.env = env
        self.proc = env.start(setup, [*options, *folder_options(folder)], extra_env=locale, winedebug=winedebug)
        self.hwnd = None

    def running(self):
        return self.proc.alive()

    def wait(self, what, shown):
        """(hwnd, texts) of the foreground window once shown(hwnd, texts)."""
        def foreground():
            expect(self.running(), f"the wizard ended while waiting for {what}")
            found = self.env.foreground()
            if not found:
                return None
            rc, out = self.env.probe("texts", found[0])
            return (found[0], out) if rc == 0 and shown(found[0], out) else None
        return poll(foreground, WIZARD_TIMEOUT, what=what)

    def page(self, what, shown):
        self.hwnd, texts = self.wait(f"the {what} page", lambda hwnd, out: self.hwnd in (None, hwnd) and shown(out))
        return texts

    def directory_page(self, version, folder):
        """Through the welcome and licence pages to the directory page, which
        shows folder."""
        self.page("welcome", lambda out: out.startswith(f"#32770\tSolvane {version}") and "Edit\t" not in out)
        self.env.key("Return")
        self.page("licence", lambda out: "RichEdit20W\t" in out)
        self.env.key("Return")
        self.page("directory", lambda out: f"Edit\t{folder}\n" in out)

    def refused(self, folder):
        """Next on the directory page, which refuses the folder: returns the
        texts of what it said, once the page is back."""
        self.env.key("Return")
        _, told = self.wait("the folder to be refused", lambda hwnd, out: hwnd != self.hwnd)
        self.env.key("Return")
        self.page("directory again", lambda out: f"Edit\t{folder}\n" in out)
        return told

    def install(self):
        """Next on the directory page, Install on the components page, and
        Finish once the files are in."""
        self.env.key("Return")
        self.page("components", lambda out: COMPONENTS_TEXT in out)
        self.env.key("Return")
        self.page("finish", lambda out: FINISH_TEXT in out)
        self.env.key("Return")
        rc = self.proc.wait(WIZARD_TIMEOUT)
        expect(rc == 0, f"the setup program ended with {rc}")


class UninstallWizard(Wizard):
    """The uninstaller's wizard, started as the program list starts it; it
    runs in the uninstaller's copy."""

    def __init__(self, env):
        self.env = env
        self.hwnd = None
        end_uninstaller_copies(env)
        command = reg_string(env, UNINSTALL_KEY, "UninstallString")
        expect(command is not None and command.startswith('"') and command.endswith('"'),
               f"the uninstall command is not a quoted path: {command!r}")
        stub = env.start(command[1:-1], extra_env=UTF8_ARGUMENTS)
        expect(stub.wait(UNINSTALL_TIMEOUT) == 0, "the uninstaller did not start its copy")

    def running(self):
        return bool(uninstaller_copies(self.env))

    def to_uninstall(self):
        """Through the confirmation and components pages: Uninstall pressed."""
        self.page("confirmation", lambda out: UNINSTALL_CONFIRM_TEXT in out)
        self.env.key("Return")
        self.page("components", lambda out: COMPONENTS_TEXT in out)
        self.env.key("Return")

    def ended(self):
        poll(lambda: not self.running(), UNINSTALL_TIMEOUT, what="the uninstaller's copy to end")
