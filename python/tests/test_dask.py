"""The Dask example: a batch sharded over a local cluster of two worker
processes writes the files the command's batch writes, and merges the
reports in the batch's order."""

import importlib.util
import sys

import cloudpickle
from dask.distributed import Client, LocalCluster

from conftest import REPO

spec = importlib.util.spec_from_file_location("dask_batch", REPO / "python" / "examples" / "dask_batch.py")
dask_batch = importlib.util.module_from_spec(spec)
sys.modules["dask_batch"] = dask_batch
spec.loader.exec_module(dask_batch)
# The workers cannot import the example: its functions travel with the tasks.
cloudpickle.register_pickle_by_value(dask_batch)


def test_a_batch_over_two_workers_is_the_commands_batch(tmp_path, korvane_run):
    values = [str(n) for n in range(590123412000, 590123412050)] + ["59012341234X"]
    batch = tmp_path / "codes.txt"
    batch.write_text("\n".join(values) + "\n")
    ours, theirs = tmp_path / "dask", tmp_path / "command"
    theirs.mkdir()
    status, _, _ = korvane_run("-b", "ean13", "--batch", str(batch), "-o", str(theirs / "{n}.svg"))
    assert status == 1  # the last value's check digit is an X

    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        reports = dask_batch.run_batch(client, "ean13", values, str(ours), shard=16)

    assert [r["n"] for r in reports] == list(range(1, len(values) + 1))
    assert [r["written"] for r in reports] == [True] * 50 + [False]
    assert reports[-1]["error"] == "invalid-data"
    assert sorted(p.name for p in ours.iterdir()) == sorted(p.name for p in theirs.iterdir())
    for mine in ours.iterdir():
        assert mine.read_bytes() == (theirs / mine.name).read_bytes(), mine.name
