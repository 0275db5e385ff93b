"""A tree of many small pages for the run's scale benchmarks: FOLDERS folders
of PAGES pages each, every page a slice of about a kilobyte of the corpus's
big.html (so real markup and whitespace), the same tree every time.

    python3 bench/make-many-pages.py OUT [FOLDERS [PAGES [CORPUS]]]

Defaults: 2000 folders of 100 pages (200,000 pages, about 200 MB), corpus
/tmp/velnor-corpus.
"""
import os, sys

out = sys.argv[1]
folders = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
pages = int(sys.argv[3]) if len(sys.argv) > 3 else 100
corpus = sys.argv[4] if len(sys.argv) > 4 else "/tmp/velnor-corpus"
with open(os.path.join(corpus, "big.html"), "rb") as f:
    big = f.read()
offset = 0
for folder in range(folders):
    # two levels, as sites nest: 20 sections of folders
    path = os.path.join(out, f"section{folder % 20:02d}", f"folder{folder:04d}")
    os.makedirs(path, exist_ok=True)
    for page in range(pages):
        size = 600 + (folder * 7 + page * 13) % 900
        if offset + size > len(big):
            offset = 0
        with open(os.path.join(path, f"page{page:03d}.htm"), "wb") as f:
            f.write(big[offset:offset + size])
        offset += size
