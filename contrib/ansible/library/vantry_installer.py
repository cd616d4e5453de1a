#!/usr/bin/python3
# An Ansible module that brings a Vantry installer's product to the state a
# playbook asks for, through the installer's own unattended mode.

DOCUMENTATION = r"""
---
module: vantry_installer
short_description: Install, upgrade or remove a product with its Vantry installer
description:
  - Runs a Vantry installer unattended on the target. It first asks the
    installer for its plan (C(--plan --json)), which changes nothing, and
    installs only when the product is not there (C(present)) or is older
    than the installer's (C(latest)).
  - C(absent) runs the installation's deinstaller unattended.
  - In check mode only the plan is made.
  - Set the installer's environment with the task's C(environment) keyword.
options:
  src:
    description: The installer on the target.
    type: path
    required: true
  dest:
    description: The folder the installation folder is made in (C(--dest)).
    type: path
    required: true
  type:
    description: The install type whose items are installed (C(--type)).
    type: str
  items:
    description: Exactly the items to install (one C(--item) each).
    type: list
    elements: str
  answers:
    description: An answer file on the target (C(--answers)).
    type: path
  accept_licence:
    description: Agree to the product's licence (C(--accept-licence)).
    type: bool
    default: false
  allow_new_publisher:
    description: Install over an installation another key signed.
    type: bool
    default: false
  state:
    description:
      - C(present) installs when no installation of the product is in C(dest).
      - C(latest) also installs over an installation of an older version.
      - C(absent) runs the installation's deinstaller.
    type: str
    choices: [present, latest, absent]
    default: present
"""

EXAMPLES = r"""
- name: Hello is installed in /opt
  vantry_installer:
    src: /srv/installers/hello-installer
    dest: /opt
    type: Full
    accept_licence: true
    state: latest
"""

RETURN = r"""
installed_version:
  description: The version installed in the folder after the task, or null.
  type: str
  returned: always
installation_folder:
  description: The installation folder.
  type: str
  returned: always
publisher_key:
  description: The key ID that signed the installer, or null.
  type: str
  returned: always
plan:
  description: The installer's plan (the C(--plan --json) document).
  type: dict
  returned: always
events:
  description: The JSON lines of the installation or the removal.
  type: list
  returned: when it ran
entries_changed:
  description: How many entries the installation places, replaces or renames.
  type: int
  returned: always
"""

import glob
import json
import os
import re

from ansible.module_utils.basic import AnsibleModule


def version_key(version):
    """Numbers compare as numbers, the rest as text: 1.10 > 1.9 > 1.9b."""
    parts = []
    for part in re.findall(r"\d+|[A-Za-z]+", version or ""):
        parts.append((1, int(part), "") if part.isdigit() else (0, 0, part))
    return parts


def json_lines(text):
    lines = []
    for line in text.splitlines():
        line = line.strip()
        if line:
            lines.append(json.loads(line))
    return lines


def installer_arguments(params):
    arguments = ["--dest", params["dest"]]
    if params["type"]:
        arguments += ["--type", params["type"]]
    # One --item per name: a name may hold a comma.
    for item in params["items"] or []:
        arguments += ["--item", item]
    if params["answers"]:
        arguments += ["--answers", params["answers"]]
    if params["accept_licence"]:
        arguments.append("--accept-licence")
    if params["allow_new_publisher"]:
        arguments.append("--allow-new-publisher")
    return arguments


def run_json(module, command, what):
    code, out, err = module.run_command(command)
    try:
        return code, out, err, json_lines(out)
    except ValueError as error:
        module.fail_json(msg="%s did not answer JSON: %s" % (what, error), rc=code,
                         stdout=out, stderr=err)


def registered_version(module, src, folder):
    """The version the installer's register holds in `folder`, or None."""
    code, out, err, documents = run_json(module, [src, "--installed", "--json"],
                                         "the installer's list of installations")
    if code != 0 or len(documents) != 1:
        module.fail_json(msg="the installer could not list its installations", rc=code,
                         stdout=out, stderr=err)
    for one in documents[0].get("installations", []):
        if not one.get("stale") and os.path.realpath(one.get("folder", "")) == \
                os.path.realpath(folder or ""):
            return one.get("version")
    return None


def deinstaller_of(folder):
    found = sorted(glob.glob(os.path.join(glob.escape(folder), "* Deinstaller")))
    return found[0] if found else None


def main():
    module = AnsibleModule(
        argument_spec=dict(
            src=dict(type="path", required=True),
            dest=dict(type="path", required=True),
            type=dict(type="str"),
            items=dict(type="list", elements="str"),
            answers=dict(type="path"),
            accept_licence=dict(type="bool", default=False),
            allow_new_publisher=dict(type="bool", default=False),
            state=dict(type="str", default="present", choices=["present", "latest", "absent"]),
        ),
        mutually_exclusive=[("type", "items")],
        supports_check_mode=True,
    )
    params = module.params
    src = params["src"]
    if not os.path.isfile(src) or not os.access(src, os.X_OK):
        module.fail_json(msg="src %s is not an executable installer" % src)
    if not os.path.isdir(params["dest"]):
        module.fail_json(msg="dest %s is not a folder" % params["dest"])

    code, out, err, documents = run_json(
        module, [src, "--plan", "--json"] + installer_arguments(params), "the installer's plan")
    if len(documents) != 1:
        module.fail_json(msg="the installer's plan is not one JSON document", rc=code,
                         stdout=out, stderr=err)
    plan = documents[0]
    earlier = plan.get("earlier_installation") or {}
    folder = plan.get("installation_folder")
    # The register says what is installed: a folder that only kept the
    # user's files after a removal is no installation.
    installed = registered_version(module, src, folder)
    result = dict(changed=False, plan=plan, installation_folder=folder,
                  publisher_key=plan.get("publisher_key"), installed_version=installed,
                  entries_changed=0)

    if params["state"] == "absent":
        if installed is None:
            module.exit_json(**result)
        deinstaller = deinstaller_of(folder)
        if deinstaller is None:
            module.fail_json(msg="%s holds no deinstaller: the installation cannot be removed"
                             % folder, **result)
        result["changed"] = True
        result["installed_version"] = None
        if module.check_mode:
            module.exit_json(**result)
        code, out, err, events = run_json(module, [deinstaller, "--unattended", "--json"],
                                          "the deinstaller")
        result["events"] = events
        if code != 0:
            module.fail_json(msg="the deinstaller %s ended with %d" % (deinstaller, code),
                             rc=code, stderr=err, **result)
        module.exit_json(**result)

    if installed is None and earlier and earlier.get("version") is None:
        # Without a deinstall record (a product built without a deinstaller)
        # nothing tells the version: the installation is left as it is.
        module.warn("%s holds no deinstall record of %s: its version is unknown and it "
                    "is left as it is" % (folder, plan.get("product")))
        module.exit_json(**result)
    if installed is not None:
        newer = version_key(plan.get("version")) > version_key(installed)
        if params["state"] == "present" or not newer:
            module.exit_json(**result)

    result["entries_changed"] = (len(plan.get("entries", [])) + len(plan.get("replaced", []))
                                 + len(plan.get("renamed", [])))
    if module.check_mode:
        if plan.get("exit_code") != 0:
            module.fail_json(msg="the installation would fail: %s" % plan.get("result"),
                             rc=plan.get("exit_code"), **result)
        result["changed"] = True
        module.exit_json(**result)

    # Over an earlier version the installer upgrades: what the user changed
    # or added in the installation stays.
    upgrade = ["--upgrade"] if earlier else []
    code, out, err, events = run_json(
        module, [src, "--unattended", "--json"] + upgrade + installer_arguments(params),
        "the installer")
    result["events"] = events
    outcome = events[-1] if events else {}
    if code not in (0, 10):
        module.fail_json(msg="the installation ended: %s" % outcome.get("result", "exit %d" % code),
                         rc=code, stderr=err, **result)
    result["changed"] = True
    result["installed_version"] = outcome.get("version")
    result["publisher_key"] = outcome.get("publisher_key")
    module.exit_json(**result)


if __name__ == "__main__":
    main()
