"""A batch of labels sharded over a Dask cluster, for runs beyond one machine.

The values are cut into shards; each worker encodes its shard with
korvane.encode_many (on all of its cores, the interpreter released) and writes
the files into a folder every worker reaches, named as the command's
`-o "{n}.svg"` names them; the reports come back and are merged in the
batch's order, one JSON line per value as the command's --json gives them.

    python3 dask_batch.py codes.txt out/ --symbology ean13                # a local cluster
    python3 dask_batch.py codes.txt /shared/out --scheduler tcp://host:8786

The same files as `korvane -b ean13 --batch codes.txt -o "out/{n}.svg"`.
"""

import argparse
import json
import os

SHARD = 10_000  # values a task encodes: large enough that a task outweighs its scheduling


def encode_shard(symbology, first, values, folder, fmt, options):
    """Encodes values[i] as label first + i, writes each file whole, returns the shard's reports."""
    import korvane

    reports = []
    outcomes = korvane.encode_many(symbology, values, format=fmt, **options)
    for n, (value, made) in enumerate(zip(values, outcomes), start=first):
        report = {"n": n, "data": value}
        if isinstance(made, korvane.EncodeError):
            report.update(written=False, error=made.code, message=str(made))
        else:
            path = os.path.join(folder, f"{n}.{fmt}")
            temporary = path + ".part"
            with open(temporary, "wb") as out:
                out.write(made.encode() if isinstance(made, str) else made)
            os.replace(temporary, path)  # whole, or not at all
            report.update(written=True, file=path)
        reports.append(report)
    return reports


def run_batch(client, symbology, values, folder, fmt="svg", shard=SHARD, **options):
    """Encodes every value on the cluster `client` reaches; the merged reports, in the values' order."""
    os.makedirs(folder, exist_ok=True)
    futures = [
        client.submit(encode_shard, symbology, start + 1, values[start:start + shard], folder, fmt, options, pure=False)
        for start in range(0, len(values), shard)
    ]
    reports = []
    for shard_reports in client.gather(futures):  # in submission order
        reports.extend(shard_reports)
    return reports


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("batch", help="one value per line")
    parser.add_argument("folder", help="where the files go (a folder every worker reaches)")
    parser.add_argument("--symbology", default="code128")
    parser.add_argument("--format", default="svg")
    parser.add_argument("--scheduler", help="a Dask scheduler's address; without one, a local cluster")
    args = parser.parse_args()

    from dask.distributed import Client, LocalCluster

    with open(args.batch, encoding="utf-8") as f:
        values = [line.rstrip("\r\n") for line in f if line.strip()]
    cluster = None if args.scheduler else LocalCluster()
    with Client(args.scheduler or cluster) as client:
        reports = run_batch(client, args.symbology, values, args.folder, args.format)
    if cluster is not None:
        cluster.close()
    for report in reports:
        print(json.dumps(report))
    failed = sum(not r["written"] for r in reports)
    raise SystemExit(1 if failed else 0)


if __name__ == "__main__":
    main()
