# Sample block files, written by scripts/make_samples.py.
set(MRB_SAMPLE_FILES
  block_05t.csv
  block_2t.csv
  block_4t_chamfer.csv
  block_8t.csv
  block_13t_slit.csv
  block_16t_curved.csv
  block_30t_l.csv
)
