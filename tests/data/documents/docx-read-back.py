# Prints what python-docx finds in a Word file: each paragraph's style, text, bold runs and
# whether it is listed, then the tables and the hyperlink targets.
import sys, docx
d = docx.Document(sys.argv[1])
for p in d.paragraphs:
    listed = p._p.pPr is not None and p._p.pPr.numPr is not None
    print(p.style.name, '|', p.text, '|', ','.join(r.text for r in p.runs if r.bold), '|', 'list' if listed else '')
for t in d.tables:
    print([[c.text for c in row.cells] for row in t.rows])
print([r.target_ref for r in d.part.rels.values() if r.reltype.endswith('/hyperlink')])
