#!/usr/bin/env python3
"""Loads one page in Debian's Firefox, headless, on a given profile, and saves
a screenshot of it. The profile keeps its user.js (the proxy settings under
test); a profile without them first gets prefs that keep Firefox quiet, let it
send loopback traffic through a proxy at all, and reach nothing beyond
loopback. Later runs keep the prefs.js that Firefox itself wrote.

    firefox_headless.py PROFILE URL SHOT [--home DIR] [--done FILE]

--done writes Firefox's exit status to FILE once it has ended (for a caller
that cannot wait for this process, such as a program under Wine).
"""
import argparse
import os
import subprocess
import sys
import time

FIREFOX_SECONDS = 60

QUIET_PREFS = """\
user_pref("network.proxy.allow_hijacking_localhost", true);
user_pref("geo.provider.network.url", "");
user_pref("geo.enabled", false);
user_pref("network.trr.mode", 5);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("network.dns.disablePrefetch", true);
user_pref("network.prefetch-next", false);
user_pref("network.http.speculative-parallel-limit", 0);
user_pref("app.update.enabled", false);
user_pref("app.normandy.enabled", false);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
user_pref("browser.safebrowsing.downloads.remote.enabled", false);
user_pref("browser.safebrowsing.provider.mozilla.updateURL", "");
user_pref("browser.search.update", false);
user_pref("browser.region.network.url", "");
user_pref("browser.newtabpage.activity-stream.feeds.section.topstories", false);
user_pref("browser.newtabpage.activity-stream.feeds.system.topstories", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.healthreport.uploadEnabled", false);
user_pref("toolkit.telemetry.enabled", false);
user_pref("toolkit.telemetry.server", "");
user_pref("extensions.update.enabled", false);
user_pref("extensions.getAddons.cache.enabled", false);
user_pref("extensions.blocklist.enabled", false);
user_pref("media.gmp-manager.url", "");
user_pref("services.settings.server", "http://127.0.0.1:1/");
user_pref("security.OCSP.enabled", 0);
"""


def write_quiet_prefs(profile):
    with open(os.path.join(profile, "prefs.js"), "w") as prefs:
        prefs.write(QUIET_PREFS)


def has_quiet_prefs(profile):
    try:
        with open(os.path.join(profile, "prefs.js"), encoding="utf-8", errors="replace") as prefs:
            return "allow_hijacking_localhost" in prefs.read()
    except OSError:
        return False


def run_firefox(profile, home, url, shot):
    """Firefox's exit status (124 when it had to be stopped)."""
    # Only a new profile gets them: what Firefox keeps in prefs.js between
    # runs (a proxy copied from user.js among it) is what a user would have.
    if not has_quiet_prefs(profile):
        write_quiet_prefs(profile)
    os.makedirs(home, exist_ok=True)
    env = dict(os.environ, HOME=home, MOZ_HEADLESS="1")
    for name in ("http_proxy", "https_proxy", "no_proxy", "HTTP_PROXY", "HTTPS_PROXY", "NO_PROXY", "all_proxy"):
        env.pop(name, None)
    started = time.time()
    # A failed load makes --screenshot hang: the timeout ends it.
    result = subprocess.run(["timeout", str(FIREFOX_SECONDS), "firefox-esr", "--headless", "--no-remote", "--profile",
                             profile, "--screenshot", shot, url], env=env, stdin=subprocess.DEVNULL,
                            capture_output=True, timeout=FIREFOX_SECONDS + 10)
    print("firefox %s: %.1f s, status %d" % (url, time.time() - started, result.returncode), flush=True)
    return result.returncode


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("profile")
    ap.add_argument("url")
    ap.add_argument("shot")
    ap.add_argument("--home", help="HOME for Firefox (default: beside the screenshot)")
    ap.add_argument("--done")
    args = ap.parse_args(argv)
    home = args.home or os.path.join(os.path.dirname(os.path.abspath(args.shot)), "firefox-home")
    status = run_firefox(args.profile, home, args.url, args.shot)
    if args.done:
        with open(args.done + ".tmp", "w") as f:
            f.write("%d\n" % status)
        os.replace(args.done + ".tmp", args.done)
    return 0 if status == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
