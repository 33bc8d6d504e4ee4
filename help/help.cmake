# The help pages, copied beside the executable under MRB_MAKE/ by the build;
# index.html is the contents page the help command opens.
set(MRB_HELP_FILES
  index.html
  window.html
  file.html
  select.html
  view.html
  para.html
  point.html
  line.html
  edit.html
  check.html
  tools.html
  messages.html
  keys.html
  format.html
  limits.html
  about.html
)
