# One plate driven by two "Designer" global parameters: the sample for design variables.
assembly plate_designer
global Width = 100
global HoleD = 30
part plate_designer.part
component plate plate at=(0, 0, 0)
