"""Runs a stand-in service in the background for tests and scripts: a state
folder holds its process id, its output (server.log) and the "ready" file that
the service writes once it listens."""
import os
import signal
import subprocess
import sys
import time


def spawn_and_wait(state_dir, script, args):
    """Starts `script serve ...` in its own session; True once it is ready."""
    ready = os.path.join(state_dir, "ready")
    if os.path.exists(ready):
        os.remove(ready)
    log_path = os.path.join(state_dir, "server.log")
    with open(log_path, "wb") as log:
        child = subprocess.Popen([sys.executable, os.path.abspath(script), "serve", state_dir] + args,
                                 stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
    with open(os.path.join(state_dir, "pid"), "w") as f:
        f.write(str(child.pid))
    for _ in range(100):
        if os.path.exists(ready):
            return True
        if child.poll() is not None:
            break
        time.sleep(0.05)
    sys.stderr.write(open(log_path, encoding="latin-1").read())
    return False


def stop(state_dir):
    """Ends the service of the state folder, if one runs."""
    pid_file = os.path.join(state_dir, "pid")
    if not os.path.exists(pid_file):
        return 0
    with open(pid_file) as f:
        pid = int(f.read())
    os.remove(pid_file)
    try:
        os.kill(pid, signal.SIGTERM)
        for _ in range(50):
            if not alive(pid):
                return 0
            time.sleep(0.05)
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    return 0


def alive(pid):
    """False once the process is gone or only waits to be reaped by its new parent."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False
