# Writes a Word file of python-docx's own making: headings, emphasis, lists and a table.
import sys, docx
d = docx.Document()
d.add_heading('Title', level=1)
p = d.add_paragraph('Plain ')
p.add_run('bold').bold = True
p.add_run(' and ')
p.add_run('italic').italic = True
p.add_run(' with a picture-free line.')
d.add_paragraph('apple', style='List Bullet')
d.add_paragraph('pear', style='List Bullet')
d.add_paragraph('first', style='List Number')
d.add_paragraph('second', style='List Number')
d.add_heading('Table', level=2)
t = d.add_table(rows=2, cols=2)
for r, row in enumerate([['a', 'b'], ['c', 'd']]):
    for c, text in enumerate(row):
        t.cell(r, c).text = text
d.save(sys.argv[1])
