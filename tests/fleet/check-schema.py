"""Checks dist/zode-fleet.schema.json: it is what zode-cli schema prints, it is a valid
JSON Schema, it accepts the sample fleet files and refuses files with a wrong record,
field or section.  Usage: check-schema.py ZODE_CLI SCHEMA FLEET.yaml..."""
import copy
import json
import subprocess
import sys

import jsonschema
import yaml


class Loader(yaml.SafeLoader):
    pass


# The references to secrets read as their names here.
Loader.add_constructor("!env", lambda loader, node: loader.construct_scalar(node))
Loader.add_constructor("!file", lambda loader, node: loader.construct_scalar(node))

cli, schema_path, *fleets = sys.argv[1:]
printed = json.loads(subprocess.run([cli, "schema"], check=True, capture_output=True).stdout)
with open(schema_path, encoding="utf-8") as f:
    schema = json.load(f)
if printed != schema:
    sys.exit(f"{schema_path} differs from `zode-cli schema`: write it again with zode-cli schema > {schema_path}")
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
for path in fleets:
    with open(path, encoding="utf-8") as f:
        fleet = yaml.load(f, Loader=Loader)
    errors = list(validator.iter_errors(fleet))
    if errors:
        sys.exit(f"{path}: {errors[0].message}")
    first = next(iter(fleet["switches"]))
    for name, edit in [("unknown record", lambda d: d["switches"].__setitem__(first, {"vlans": {}})),
                       ("unknown field", lambda d: d["switches"].__setitem__(first, {"qos": {"kind": "cos"}})),
                       ("unknown section", lambda d: d.__setitem__("site", {})),
                       ("bad MAC", lambda d: d["switches"].__setitem__("02:5A", {}))]:
        wrong = copy.deepcopy(fleet)
        edit(wrong)
        if validator.is_valid(wrong):
            sys.exit(f"{path}: the schema accepts a file with an {name}")
print(f"schema checked against {len(fleets)} fleet files")
