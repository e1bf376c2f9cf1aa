#!/usr/bin/env bash
# The release: this commit packaged here and again, later, in a clone at another path gives the
# same zips; the checksums file checks; the Scoop and winget manifests name each zip's address and
# SHA-256 and follow their formats. Run after the Windows builds, which the packaging here reuses.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
base=https://example.org/brimview/releases
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Packaging runs no Windows program: the clones need no Wine prefix of their own.
export BRIMVIEW_WINEPREFIX=${BRIMVIEW_WINEPREFIX:-$repo/.wine}

commit=$(git -C "$repo" rev-parse HEAD)
clone() { git clone -q --no-checkout "$repo" "$1" && git -C "$1" checkout -q "$commit"; }
first=$repo
# Changes not committed are not the commit: then it is packaged from a clone here too.
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
  first=$work/here/brimview
  clone "$first"
fi
clone "$work/another/path/brimview"
bash "$first/scripts/package.sh" --url "$base/" --out "$work/first" >/dev/null
last=$(bash "$work/another/path/brimview/scripts/package.sh" --out "$work/second" | tail -n 1)

(cd "$work/first" && sha256sum --quiet -c SHA256SUMS)
diff <(cd "$work/first" && sha256sum ./*.zip) <(cd "$work/second" && sha256sum ./*.zip)
[[ "$last" == skipped:* && ! -e "$work/second/brimview.json" && ! -e "$work/second/winget" ]] ||
  { echo "without --url: '$last', and manifests written: $(ls "$work/second")" >&2; exit 1; }

/usr/bin/python3 - "$work/first" "$base" "$(git -C "$repo" log -1 --format=%ct)" <<'PY'
import glob, hashlib, json, os, sys, time, yaml, zipfile
out, base, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
def check(ok, what):
    if not ok:
        sys.exit(f"release: {what}")

zips = {bits: glob.glob(f"{out}/brimview-*-win{bits}.zip") for bits in ("32", "64")}
check(all(len(z) == 1 for z in zips.values()), f"one zip of each kind: {zips}")
zips = {bits: z[0] for bits, z in zips.items()}
version = os.path.basename(zips["64"])[len("brimview-"):-len("-win64.zip")]
check(os.path.basename(zips["32"]) == f"brimview-{version}-win32.zip", "both zips of one version")
sha = {bits: hashlib.sha256(open(z, "rb").read()).hexdigest() for bits, z in zips.items()}
url = {bits: f"{base}/{os.path.basename(z)}" for bits, z in zips.items()}
check(sorted(open(f"{out}/SHA256SUMS").read().split()) == sorted(list(sha.values()) + [os.path.basename(z) for z in zips.values()]),
      "SHA256SUMS names both zips and nothing else")

# What ships, in order; no settings file. Every entry dated at the commit (zip keeps even seconds).
shipped = ["brimview/", "brimview/LICENSE", "brimview/brimview.chm", "brimview/brimview.exe", "brimview/skin/",
           "brimview/skin/bg.bmp"]
date = time.gmtime(epoch - epoch % 2)[:6]
for z in zips.values():
    entries = zipfile.ZipFile(z).infolist()
    check([e.filename for e in entries] == shipped, f"{z} holds {[e.filename for e in entries]}")
    check(all(e.date_time == date for e in entries), f"{z} is not dated at the commit {date}")

scoop = json.load(open(f"{out}/brimview.json"))
check(scoop["version"] == version, f"Scoop: version {scoop['version']}")
for arch, bits in (("32bit", "32"), ("64bit", "64")):
    check(scoop["architecture"][arch] == {"url": url[bits], "hash": sha[bits]}, f"Scoop: {arch} {scoop['architecture'][arch]}")

# The keys the winget schema requires of each manifest, and of each installer.
required = {
    "Brimview.Brimview.yaml": ("version", ["DefaultLocale"]),
    "Brimview.Brimview.installer.yaml": ("installer", ["Installers"]),
    "Brimview.Brimview.locale.en-US.yaml": ("defaultLocale", ["PackageLocale", "Publisher", "PackageName", "License", "ShortDescription"]),
}
check(sorted(os.listdir(f"{out}/winget")) == sorted(required), f"winget manifests: {os.listdir(f'{out}/winget')}")
for name, (kind, keys) in required.items():
    manifest = yaml.safe_load(open(f"{out}/winget/{name}"))
    check(all(manifest.get(k) for k in keys + ["PackageIdentifier", "PackageVersion", "ManifestVersion"]), f"{name}: required keys")
    check((manifest["PackageIdentifier"], manifest["PackageVersion"], manifest["ManifestType"]) == ("Brimview.Brimview", version, kind),
          f"{name}: identifier, version, type")
installer = yaml.safe_load(open(f"{out}/winget/Brimview.Brimview.installer.yaml"))
got = {i["Architecture"]: (i["InstallerUrl"], i["InstallerSha256"].lower()) for i in installer["Installers"]}
check(got == {"x86": (url["32"], sha["32"]), "x64": (url["64"], sha["64"])}, f"winget installers: {got}")
PY
echo "release: the same zips from two packagings at different paths and times; SHA256SUMS and the manifests match them"
