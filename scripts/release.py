"""The steps of a release that shell tools do not do reproducibly; scripts/package.sh runs them.

  release.py version EXE                     the file version of the program's version record
  release.py stamp-help CHM EPOCH            dates a compiled help file at EPOCH instead of its compile time
  release.py zip ZIP STAGE EPOCH             zips what STAGE holds in a fixed order, mode and date
  release.py manifests OUT BASE ZIP32 ZIP64  the Scoop and winget manifests of zips published at BASE
"""
import hashlib
import json
import os
import re
import struct
import sys
import time
import zipfile


def version(exe):
    # The fixed part of the version record starts with the signature FEEF04BD; the file version
    # follows as two 32-bit words, major.minor and build.private.
    data = open(exe, "rb").read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        sys.exit(f"no version record in {exe}")
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def encint(data, at):
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, at


def internal_file(data, wanted):
    """Where the file named `wanted` of the help file's uncompressed section lies: (offset, length)."""
    directory, = struct.unpack_from("<Q", data, 0x48)
    content, = struct.unpack_from("<Q", data, 0x58)
    header_length, = struct.unpack_from("<I", data, directory + 8)
    chunk_size, = struct.unpack_from("<I", data, directory + 0x10)
    chunks, = struct.unpack_from("<I", data, directory + 0x2C)
    for n in range(chunks):
        chunk = directory + header_length + n * chunk_size
        if data[chunk:chunk + 4] != b"PMGL":
            continue
        free, = struct.unpack_from("<I", data, chunk + 4)
        at, end = chunk + 0x14, chunk + chunk_size - free
        while at < end:
            length, at = encint(data, at)
            name = data[at:at + length]
            section, at = encint(data, at + length)
            offset, at = encint(data, at)
            size, at = encint(data, at)
            if name == wanted and section == 0:
                return content + offset, size
    sys.exit(f"no {wanted.decode()} in the help file")


def stamp_help(chm, epoch):
    # The compiler writes its clock's milliseconds into the day twice: in the file's header
    # (big-endian) and as entry 10 of the #SYSTEM file.
    data = bytearray(open(chm, "rb").read())
    if data[:4] != b"ITSF":
        sys.exit(f"{chm} is no compiled help file")
    stamp = epoch % 86400 * 1000
    struct.pack_into(">I", data, 0x10, stamp)
    at, length = internal_file(data, b"/#SYSTEM")
    at, end = at + 4, at + length  # after the #SYSTEM version
    while at < end:
        code, size = struct.unpack_from("<HH", data, at)
        if code == 10 and size == 4:
            struct.pack_into("<I", data, at + 4, stamp)
        at += 4 + size
    open(chm, "wb").write(data)


def make_zip(path, stage, epoch):
    date = time.gmtime(epoch)[:6]
    names = []
    for top, dirs, files in os.walk(stage):
        rel = os.path.relpath(top, stage)
        names += [os.path.join(rel, d) + "/" for d in dirs] + [os.path.join(rel, f) for f in files]
    with zipfile.ZipFile(path, "w") as archive:
        for name in sorted(os.path.normpath(n) + ("/" if n.endswith("/") else "") for n in names):
            entry = zipfile.ZipInfo(name, date)
            entry.create_system = 3  # Unix, so that the mode below is what an unzip on Unix gives
            if name.endswith("/"):
                entry.external_attr = (0o40755 << 16) | 0x10  # and the MS-DOS directory flag
                archive.writestr(entry, b"")
            else:
                entry.external_attr = 0o100644 << 16  # a regular file
                entry.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(entry, open(os.path.join(stage, name), "rb").read(), compresslevel=9)


def sha256(path):
    return hashlib.sha256(open(path, "rb").read()).hexdigest()


def manifests(out, base, zip32, zip64):
    zips = {"32bit": zip32, "64bit": zip64}
    names = {os.path.basename(z) for z in zips.values()}
    versions = {re.fullmatch(r"brimview-(.+)-win(32|64)\.zip", n).group(1) for n in names}
    if len(versions) != 1:
        sys.exit(f"the zips {' '.join(sorted(names))} are not of one version")
    package_version = versions.pop()
    url = {arch: f"{base}/{os.path.basename(z)}" for arch, z in zips.items()}
    sums = {arch: sha256(z) for arch, z in zips.items()}
    description = "Keeps one drive's size, free space and used share in view in a small window"
    ini = "$persist_dir\\brimview.ini"
    scoop = {
        "version": package_version,
        "description": description,
        "homepage": base,
        "license": "MIT",
        "architecture": {arch: {"url": url[arch], "hash": sums[arch]} for arch in ("64bit", "32bit")},
        "extract_dir": "brimview",
        "bin": "brimview.exe",
        "shortcuts": [["brimview.exe", "Brimview"]],
        # Scoop makes a folder of a persisted name that exists nowhere yet.
        "persist": "brimview.ini",
        "pre_install": [
            f'if (!(Test-Path "{ini}")) {{',
            '    New-Item -ItemType Directory -Force "$persist_dir" | Out-Null',
            f'    New-Item -ItemType File "{ini}" | Out-Null',
            "}",
        ],
        # Scoop links the persisted file into the program's folder, but the program saves its
        # settings by replacing the file, which ends the link: before an update or uninstall
        # takes the folder away, its settings are carried over. Equal contents are left alone,
        # as they may be the very same file.
        "pre_uninstall": [
            '$ini = "$dir\\brimview.ini"',
            f'if ((Test-Path $ini) -and (Get-FileHash $ini).Hash -ne (Get-FileHash "{ini}").Hash) {{',
            f'    Copy-Item -Force $ini "{ini}"',
            "}",
        ],
    }
    with open(os.path.join(out, "brimview.json"), "w") as f:
        json.dump(scoop, f, indent=4)
        f.write("\n")

    # Every value is written as a JSON string, which YAML reads as a double-quoted scalar.
    def yaml(kind, lines):
        schema = f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.1.10.0.schema.json\n"
        head = ["PackageIdentifier: Brimview.Brimview", f"PackageVersion: {json.dumps(package_version)}"]
        tail = [f"ManifestType: {kind}", "ManifestVersion: 1.10.0"]
        return schema + "\n".join(head + lines + tail) + "\n"

    winget = os.path.join(out, "winget")
    os.makedirs(winget, exist_ok=True)
    files = {
        "Brimview.Brimview.yaml": yaml("version", ["DefaultLocale: en-US"]),
        "Brimview.Brimview.installer.yaml": yaml("installer", [
            "InstallerType: zip",
            "NestedInstallerType: portable",
            "NestedInstallerFiles:",
            "- RelativeFilePath: brimview/brimview.exe",
            "  PortableCommandAlias: brimview",
            "Installers:",
        ] + [line for arch, name in (("x86", "32bit"), ("x64", "64bit")) for line in (
            f"- Architecture: {arch}",
            f"  InstallerUrl: {json.dumps(url[name])}",
            f"  InstallerSha256: {sums[name].upper()}",
        )]),
        "Brimview.Brimview.locale.en-US.yaml": yaml("defaultLocale", [
            "PackageLocale: en-US",
            "Publisher: The Brimview developers",
            "PackageName: Brimview",
            f"PackageUrl: {json.dumps(base)}",
            "License: MIT",
            f"ShortDescription: {json.dumps(description)}",
        ]),
    }
    for name, text in files.items():
        with open(os.path.join(winget, name), "w") as f:
            f.write(text)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "version":
        print(version(*args))
    elif command == "stamp-help":
        stamp_help(args[0], int(args[1]))
    elif command == "zip":
        make_zip(args[0], args[1], int(args[2]))
    elif command == "manifests":
        manifests(*args)
    else:
        sys.exit(f"unknown command {command}")
