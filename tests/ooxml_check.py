"""Checks .docx and .xlsx packages the way a strict reader would: every XML part against the
ECMA-376 transitional and OPC schemas of its content type (tests/data/ooxml-schemas), and the
package rules no schema can express: every part has a content type, every relationship target
exists, every r:id, r:embed and o:relid resolves, drawing ids are unique.

    /usr/bin/python3 tests/ooxml_check.py FILE...

prints one line per violation and ends with status 1 when there is one. The checks import
check_package() from the tests folder."""
import collections
import copy
import os
import posixpath
import sys
import urllib.parse
import zipfile

from lxml import etree

SCHEMA_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "ooxml-schemas")

R_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
MC_NS = "http://schemas.openxmlformats.org/markup-compatibility/2006"
SML_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
XML_NS = "http://www.w3.org/XML/1998/namespace"
O_NS = "urn:schemas-microsoft-com:office:office"
V_NS = "urn:schemas-microsoft-com:vml"
X_NS = "urn:schemas-microsoft-com:office:excel"
WP_NS = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"
XDR_NS = "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing"

OFFICE = "application/vnd.openxmlformats-officedocument."
SML = OFFICE + "spreadsheetml."
WML = OFFICE + "wordprocessingml."
VML = OFFICE + "vmlDrawing"

# The schema file each XML part is validated against, by content type.
SCHEMA_OF_TYPE = {
    "application/vnd.openxmlformats-package.relationships+xml": "opc-relationships.xsd",
    "application/vnd.openxmlformats-package.core-properties+xml": "opc-coreProperties.xsd",
    OFFICE + "extended-properties+xml": "shared-documentPropertiesExtended.xsd",
    OFFICE + "custom-properties+xml": "shared-documentPropertiesCustom.xsd",
    OFFICE + "theme+xml": "dml-main.xsd",
    OFFICE + "drawing+xml": "dml-spreadsheetDrawing.xsd",
}
for kind in ("sheet.main+xml", "template.main+xml", "worksheet+xml", "styles+xml",
             "sharedStrings+xml", "calcChain+xml", "chartsheet+xml", "comments+xml"):
    SCHEMA_OF_TYPE[SML + kind] = "sml.xsd"
for kind in ("document.main+xml", "template.main+xml", "styles+xml", "settings+xml",
             "numbering+xml", "fontTable+xml", "webSettings+xml", "footnotes+xml",
             "endnotes+xml", "header+xml", "footer+xml", "comments+xml"):
    SCHEMA_OF_TYPE[WML + kind] = "wml.xsd"

# Parts that are no XML: pictures and the printer's own settings.
BINARY_TYPES = ("image/", SML + "printerSettings", WML + "printerSettings")

_schemas = {}


def schema(name):
    """The compiled schema of a schema file, or of VML. The xml: namespace is imported first,
    from the local stand-in, since wml.xsd and shared-math.xsd import it without a location."""
    if name not in _schemas:
        if name == VML:
            # VML parts have no schema root of their own: their elements are checked one by
            # one against the three VML vocabularies an .xlsx uses.
            files = ((V_NS, "vml-main.xsd"), (O_NS, "vml-officeDrawing.xsd"),
                     (X_NS, "vml-spreadsheetDrawing.xsd"))
        else:
            target = etree.parse(os.path.join(SCHEMA_DIR, name)).getroot().get("targetNamespace")
            files = ((target, name),)
        imports = "".join('<xsd:import namespace="%s" schemaLocation="%s"/>' % f
                          for f in ((XML_NS, "xml.xsd"),) + files)
        text = ('<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema" '
                'targetNamespace="urn:ooxml-check">%s</xsd:schema>' % imports)
        root = etree.fromstring(text, base_url=os.path.join(SCHEMA_DIR, "ooxml-check.xsd"))
        _schemas[name] = etree.XMLSchema(root)
    return _schemas[name]


def without_ignorable(root):
    """The tree as a reader that knows none of the extensions sees it: what mc:Ignorable
    names is removed, mc:AlternateContent gives way to its fallback, and a SpreadsheetML text
    loses the xml:space that Excel writes and the schema does not list."""
    root = copy.deepcopy(root)
    ignorable = set()
    for e in root.iter(etree.Element):
        for prefix in e.get("{%s}Ignorable" % MC_NS, "").split():
            if prefix in e.nsmap:
                ignorable.add(e.nsmap[prefix])
    for e in list(root.iter("{%s}AlternateContent" % MC_NS)):
        fallback = e.find("{%s}Fallback" % MC_NS)
        parent = e.getparent()
        at = parent.index(e)
        for child in reversed(list(fallback) if fallback is not None else []):
            parent.insert(at, child)
        parent.remove(e)
    for e in list(root.iter(etree.Element)):
        if etree.QName(e).namespace in ignorable and e.getparent() is not None:
            e.getparent().remove(e)
            continue
        for a in list(e.attrib):
            ns = etree.QName(a).namespace
            if ns in ignorable or ns == MC_NS:
                del e.attrib[a]
        if e.tag == "{%s}t" % SML_NS:
            e.attrib.pop("{%s}space" % XML_NS, None)
    return root


def schema_errors(root, content_type):
    if content_type == VML:
        errors = []
        for child in root:
            if not isinstance(child.tag, str):
                continue
            if etree.QName(child).namespace not in (V_NS, O_NS, X_NS):
                errors.append("element %s is no VML" % child.tag)
                continue
            s = schema(VML)
            if not s.validate(etree.ElementTree(copy.deepcopy(child))):
                errors.extend("line %d: %s" % (e.line, e.message) for e in s.error_log)
        return errors
    s = schema(SCHEMA_OF_TYPE[content_type])
    if s.validate(without_ignorable(root)):
        return []
    return ["line %d: %s" % (e.line, e.message) for e in s.error_log]


def rels_part(part):
    folder, name = posixpath.split(part)
    return posixpath.join(folder, "_rels", name + ".rels")


def source_of_rels(rels):
    folder, name = posixpath.split(rels)
    return posixpath.join(posixpath.dirname(folder), name[:-len(".rels")])


def target_part(source, target):
    target = urllib.parse.unquote(target.split("#")[0])
    if target.startswith("/"):
        return posixpath.normpath(target[1:])
    return posixpath.normpath(posixpath.join(posixpath.dirname(source), target))


def check_package(path):
    """The violations of one package, each a line naming the part."""
    problems = []

    def bad(part, what):
        problems.append("%s: %s: %s" % (path, part, what))

    try:
        archive = zipfile.ZipFile(path)
    except (OSError, zipfile.BadZipFile) as e:
        return ["%s: not a package: %s" % (path, e)]
    with archive:
        names = archive.namelist()
        for name, count in collections.Counter(n.lower() for n in names).items():
            if count > 1:
                bad(name, "%d zip entries of one part" % count)
        parts = {n: archive.read(n) for n in names if not n.endswith("/")}
        for n in names:
            if n.endswith("/"):
                bad(n, "a folder entry is no part")
    if "[Content_Types].xml" not in parts:
        return problems + ["%s: [Content_Types].xml missing" % path]

    trees = {}
    for name, data in parts.items():
        if name.endswith(".rels") or name.endswith(".xml") or name.endswith(".vml"):
            try:
                trees[name] = etree.fromstring(data, etree.XMLParser(resolve_entities=False,
                                                                     huge_tree=True))
            except etree.XMLSyntaxError as e:
                bad(name, "not well-formed XML: %s" % e)

    types_root = trees.get("[Content_Types].xml")
    if types_root is None:
        return problems
    for e in schema_errors_of(types_root, "opc-contentTypes.xsd"):
        bad("[Content_Types].xml", e)
    ct_ns = "{http://schemas.openxmlformats.org/package/2006/content-types}"
    defaults = {d.get("Extension", "").lower(): d.get("ContentType")
                for d in types_root.iter(ct_ns + "Default")}
    overrides = {o.get("PartName", "").lower(): o.get("ContentType")
                 for o in types_root.iter(ct_ns + "Override")}
    lower_parts = {n.lower() for n in parts}
    for name in overrides:
        if name.lstrip("/") not in lower_parts:
            bad(name, "content type given for a part the package lacks")

    content_types = {}
    for name in parts:
        if name == "[Content_Types].xml":
            continue
        ct = overrides.get("/" + name.lower())
        if ct is None:
            ct = defaults.get(name.rsplit(".", 1)[-1].lower() if "." in posixpath.basename(name) else "")
        if ct is None:
            bad(name, "no content type")
            continue
        content_types[name] = ct

    for name, ct in content_types.items():
        if ct.startswith(BINARY_TYPES):
            continue
        if name not in trees:
            bad(name, "content type %s but no XML" % ct)
            continue
        if ct != VML and ct not in SCHEMA_OF_TYPE:
            bad(name, "no schema known for content type %s" % ct)
            continue
        for e in schema_errors(trees[name], ct):
            bad(name, e)

    rels = {}
    for name in parts:
        if not name.endswith(".rels"):
            continue
        source = source_of_rels(name)
        if source and source not in parts:
            bad(name, "relationships of a part the package lacks (%s)" % source)
        ids = {}
        root = trees.get(name)
        for r in (root.iter("{http://schemas.openxmlformats.org/package/2006/relationships}"
                            "Relationship") if root is not None else []):
            ids[r.get("Id")] = r
            if r.get("TargetMode") == "External":
                continue
            target = target_part(source, r.get("Target", ""))
            if target not in parts:
                bad(name, "%s points to %s, which the package lacks" % (r.get("Id"), target))
        rels[source] = ids
    if "" not in rels:
        bad("_rels/.rels", "missing")

    spids = collections.defaultdict(list)
    idmaps = collections.defaultdict(list)
    for name, root in trees.items():
        if name.endswith(".rels") or name == "[Content_Types].xml":
            continue
        ids = rels.get(name, {})
        for e in root.iter(etree.Element):
            for a, value in e.attrib.items():
                q = etree.QName(a)
                refers = q.namespace == R_NS or (q.namespace == O_NS and q.localname == "relid")
                if refers and value not in ids:
                    bad(name, "%s=\"%s\" on line %d has no relationship" %
                        (q.localname, value, e.sourceline))
        seen = collections.Counter()
        for e in root.iter("{%s}docPr" % WP_NS, "{%s}cNvPr" % XDR_NS):
            seen[e.get("id")] += 1
        for drawing_id, count in seen.items():
            if count > 1:
                bad(name, "drawing id %s used %d times" % (drawing_id, count))
        if content_types.get(name) == VML:
            for e in root.iter(etree.Element):
                spid = e.get("{%s}spid" % O_NS)
                if spid:
                    spids[spid].append(name)
            for e in root.iter("{%s}idmap" % O_NS):
                for block in e.get("data", "").replace(",", " ").split():
                    idmaps[block].append(name)
    for spid, where in spids.items():
        if len(where) > 1:
            bad(", ".join(sorted(set(where))), "shape id %s used %d times" % (spid, len(where)))
    for block, where in idmaps.items():
        if len(where) > 1:
            bad(", ".join(sorted(set(where))), "shape id block %s taken by %d drawings" %
                (block, len(where)))
    return problems


def schema_errors_of(root, schema_file):
    s = schema(schema_file)
    return [] if s.validate(root) else ["line %d: %s" % (e.line, e.message) for e in s.error_log]


def main(files):
    problems = []
    for f in files:
        problems.extend(check_package(f))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
